// The few file-system operations the program needs, on the system's own
// calls (Win32 on Windows, POSIX elsewhere). Paths are UTF-8. On Windows,
// opening, replacing and removing a file that another program holds open
// for a moment are tried again for a while (held_file_retry.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/path.h"

namespace hx::files {

// Whether anything of that name exists, file or folder.
bool Exists(const Path& path);
// Whether a file (not a folder) of that name exists.
bool IsFile(const Path& path);

// The file's bytes, at most `limit` of them from its start; nothing when it
// cannot be opened or read.
std::optional<std::string> ReadBytes(const Path& path, size_t limit = SIZE_MAX);

enum class WriteMode {
  Replace,  // creates or empties the file and has the system put the bytes on the disk
  Append,   // adds at the end, creating the file when missing
};
enum class WriteResult { Written, CannotOpen, CannotWrite };
WriteResult WriteBytes(const Path& path, std::string_view bytes, WriteMode mode);

// Renames a file, replacing any file at the new name; false when refused.
bool MoveReplacing(const Path& from, const Path& to);
// Removes a file or an empty folder; false when missing or refused.
bool Remove(const Path& path);
// Creates the folder and any missing folders above it; true when the folder
// exists afterwards.
bool CreateFolders(const Path& path);

}  // namespace hx::files
