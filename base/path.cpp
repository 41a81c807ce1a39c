#include "base/path.h"

namespace hx {

Path& Path::operator/=(std::string_view name) {
  if (!text_.empty() && !IsPathSeparator(text_.back())) text_ += kSeparator;
  text_ += name;
  return *this;
}

Path Path::parent_path() const {
  size_t end = text_.size();
  while (end > 0 && IsPathSeparator(text_[end - 1])) --end;  // a trailing separator names the same folder
  while (end > 0 && !IsPathSeparator(text_[end - 1])) --end;  // the last name
  if (end == 0) return Path();
  size_t keep = end;  // keeps the separator after the folder for now
  while (keep > 0 && IsPathSeparator(text_[keep - 1])) --keep;
  // A root keeps its separator: "/" alone, or a drive as in "C:\".
  const bool root = keep == 0 || (keep == 2 && text_[1] == ':' && Path::kSeparator == '\\');
  return Path(text_.substr(0, root ? keep + 1 : keep));
}

}  // namespace hx
