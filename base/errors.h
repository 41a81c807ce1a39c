// Failures the program raises itself. Handlers catch them (and anything else)
// in their guard and report the exception's type name.
#pragma once
#include <stdexcept>
#include <string>
#include <typeinfo>

namespace hx {

// A file or folder could not be read, written, created or removed.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A registry key or value could not be opened, read or written.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The readable name of an exception's dynamic type, such as "hx::FileError".
std::string ExceptionTypeName(const std::type_info& type);

}  // namespace hx
