#include <windows.h>

#include "base/files.h"
#include "base/held_file_retry.h"

namespace hx {

std::wstring Path::wstring() const {
  if (text_.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text_.data(), static_cast<int>(text_.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text_.data(), static_cast<int>(text_.size()), wide.data(), n);
  return wide;
}

namespace files {
namespace {

DWORD Attributes(const Path& path) { return GetFileAttributesW(path.wstring().c_str()); }

// Whether the last call was refused because another program holds the file
// open. A rename over a file, or its removal, is refused with "access
// denied" while the file is open without delete sharing.
bool HeldByAnotherProgram(bool replacingOrRemoving) {
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         (replacingOrRemoving && error == ERROR_ACCESS_DENIED);
}

// Runs a call of the system until it succeeds, is refused for another
// reason than a hold, or the held file's time is up.
template <class Call>
bool CallWhileHeld(Call&& call, bool replacingOrRemoving = false) {
  return RetryWhileHeld(
      [&] {
        if (call()) return TryResult::Done;
        return HeldByAnotherProgram(replacingOrRemoving) ? TryResult::Held : TryResult::Failed;
      },
      [](int ms) { Sleep(static_cast<DWORD>(ms)); });
}

HANDLE OpenWhileHeld(const Path& path, DWORD access, DWORD disposition) {
  const std::wstring name = path.wstring();
  HANDLE h = INVALID_HANDLE_VALUE;
  CallWhileHeld([&] {
    h = CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return h != INVALID_HANDLE_VALUE;
  });
  return h;
}

// Closes the handle when the scope ends.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    const bool closed = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_;
};

}  // namespace

bool Exists(const Path& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFile(const Path& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Other programs may keep the file open for reading or writing meanwhile,
// as the C runtime's files allow.
std::optional<std::string> ReadBytes(const Path& path, size_t limit) {
  FileHandle file(OpenWhileHeld(path, GENERIC_READ, OPEN_EXISTING));
  if (!file.valid()) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  while (bytes.size() < limit) {
    const size_t want = limit - bytes.size() < sizeof buffer ? limit - bytes.size() : sizeof buffer;
    DWORD n = 0;
    if (!ReadFile(file.get(), buffer, static_cast<DWORD>(want), &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    bytes.append(buffer, n);
  }
  return bytes;
}

WriteResult WriteBytes(const Path& path, std::string_view bytes, WriteMode mode) {
  const bool append = mode == WriteMode::Append;
  FileHandle file(OpenWhileHeld(path, append ? FILE_APPEND_DATA : GENERIC_WRITE, append ? OPEN_ALWAYS : CREATE_ALWAYS));
  if (!file.valid()) return WriteResult::CannotOpen;
  bool written = true;
  while (written && !bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x100000 ? 0x100000 : static_cast<DWORD>(bytes.size());
    DWORD n = 0;
    written = WriteFile(file.get(), bytes.data(), chunk, &n, nullptr) && n > 0;
    if (written) bytes.remove_prefix(n);
  }
  if (written && !append) written = FlushFileBuffers(file.get()) != 0;
  written = file.Close() && written;
  return written ? WriteResult::Written : WriteResult::CannotWrite;
}

bool MoveReplacing(const Path& from, const Path& to) {
  const std::wstring source = from.wstring(), target = to.wstring();
  return CallWhileHeld(
      [&] { return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); },
      true);
}

bool Remove(const Path& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const std::wstring name = path.wstring();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryW(name.c_str()) != 0;
  return CallWhileHeld([&] { return DeleteFileW(name.c_str()) != 0; }, true);
}

bool CreateFolders(const Path& path) {
  const DWORD attributes = Attributes(path);
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const Path parent = path.parent_path();
  if (!parent.empty() && parent != path && !CreateFolders(parent)) return false;
  if (CreateDirectoryW(path.wstring().c_str(), nullptr)) return true;
  const DWORD now = Attributes(path);  // another process may have created it meanwhile
  return now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace files
}  // namespace hx
