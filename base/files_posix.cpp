#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "base/files.h"

namespace hx::files {

bool Exists(const Path& path) {
  struct stat st;
  return ::stat(path.utf8().c_str(), &st) == 0;
}

bool IsFile(const Path& path) {
  struct stat st;
  return ::stat(path.utf8().c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> ReadBytes(const Path& path, size_t limit) {
  const int fd = ::open(path.utf8().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  while (bytes.size() < limit) {
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

WriteResult WriteBytes(const Path& path, std::string_view bytes, WriteMode mode) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == WriteMode::Append ? O_APPEND : O_TRUNC);
  const int fd = ::open(path.utf8().c_str(), flags, 0666);
  if (fd < 0) return WriteResult::CannotOpen;
  bool written = true;
  while (written && !bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) bytes.remove_prefix(static_cast<size_t>(n));
  }
  if (written && mode == WriteMode::Replace) written = ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  return written ? WriteResult::Written : WriteResult::CannotWrite;
}

bool MoveReplacing(const Path& from, const Path& to) { return std::rename(from.utf8().c_str(), to.utf8().c_str()) == 0; }

bool Remove(const Path& path) {
  struct stat st;
  if (::lstat(path.utf8().c_str(), &st) != 0) return false;
  return (S_ISDIR(st.st_mode) ? ::rmdir(path.utf8().c_str()) : ::unlink(path.utf8().c_str())) == 0;
}

bool CreateFolders(const Path& path) {
  struct stat st;
  if (::stat(path.utf8().c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const Path parent = path.parent_path();
  if (!parent.empty() && parent != path && !CreateFolders(parent)) return false;
  if (::mkdir(path.utf8().c_str(), 0777) == 0) return true;
  return errno == EEXIST && ::stat(path.utf8().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace hx::files
