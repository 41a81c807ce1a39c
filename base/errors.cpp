#include "base/errors.h"

#include <cctype>
#include <string_view>

namespace hx {

namespace {

// Reads one length-prefixed name, such as "9FileError", from the front of
// the text; false when the text does not start with one.
bool TakeName(std::string_view& text, std::string& out) {
  size_t length = 0;
  size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
    length = length * 10 + static_cast<size_t>(text[digits] - '0');
    if (length > text.size()) return false;
    ++digits;
  }
  if (digits == 0 || length == 0 || digits + length > text.size()) return false;
  std::string_view name = text.substr(digits, length);
  if (name.substr(0, 11) == "_GLOBAL__N_") name = "(anonymous namespace)";
  if (!out.empty()) out += "::";
  out += name;
  text.remove_prefix(digits + length);
  return true;
}

// The source form of a class name in the compiler's encoding: "St9bad_alloc"
// is "std::bad_alloc", "N2hx9FileErrorE" is "hx::FileError". Exceptions are
// plain classes, so only names, namespaces and enclosing classes are read;
// anything else (templates, local classes) gives nothing.
bool ReadableName(std::string_view text, std::string& out) {
  if (!text.empty() && text.front() == '*') text.remove_prefix(1);
  const bool nested = !text.empty() && text.front() == 'N';
  if (nested) text.remove_prefix(1);
  if (text.substr(0, 2) == "St") {
    out = "std";
    text.remove_prefix(2);
  }
  if (!TakeName(text, out)) return false;
  if (!nested) return text.empty();
  while (!text.empty() && text.front() != 'E')
    if (!TakeName(text, out)) return false;
  return text == "E";
}

}  // namespace

// The compiler's name is read here rather than by the runtime's general
// demangler, which would bring a large part of the runtime into the program
// file for the one kind of name an error report shows.
std::string ExceptionTypeName(const std::type_info& type) {
  std::string name;
  return ReadableName(type.name(), name) ? name : std::string(type.name());
}

}  // namespace hx
