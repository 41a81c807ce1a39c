// A file or folder path: UTF-8 text, names joined with the system's
// separator ("\" on Windows, "/" elsewhere). The program only joins names
// and takes a path's folder, so a string with two operations does the work
// without the standard library's file-system machinery in the program file.
#pragma once
#include <string>
#include <string_view>
#include <utility>

namespace hx {

class Path {
 public:
#ifdef _WIN32
  static constexpr char kSeparator = '\\';
#else
  static constexpr char kSeparator = '/';
#endif

  Path() = default;
  Path(std::string utf8) : text_(std::move(utf8)) {}
  Path(std::string_view utf8) : text_(utf8) {}
  Path(const char* utf8) : text_(utf8) {}
  // A standard library path converts too, for callers such as tests that
  // build their paths with it.
  template <class P>
    requires requires(const P& p) { p.u8string(); }
  Path(const P& p) {
    const auto text = p.u8string();
    text_.assign(text.begin(), text.end());
  }

  const std::string& utf8() const { return text_; }
  bool empty() const { return text_.empty(); }

  // The path with one more name at its end.
  Path& operator/=(std::string_view name);
  friend Path operator/(Path folder, std::string_view name) { return folder /= name; }
  // The path with text added to its last name, as for "file.ini" + ".new".
  Path& operator+=(std::string_view text) {
    text_ += text;
    return *this;
  }

  // The folder that holds the path's last name; empty for a single name.
  // The root keeps its separator: the folder of "C:\a" is "C:\", of "/a" "/".
  Path parent_path() const;

#ifdef _WIN32
  // The path in UTF-16, for the system's W functions.
  std::wstring wstring() const;
#endif

  friend bool operator==(const Path&, const Path&) = default;

 private:
  std::string text_;
};

// Whether a character separates names: on Windows "/" does as well as "\".
constexpr bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

}  // namespace hx
