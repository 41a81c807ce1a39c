// Text files as the program keeps them: code page 1251 on disk, UTF-8 in
// memory, lines ended by CR LF.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/path.h"

namespace hx {

// The file's text converted to UTF-8; nothing when the file does not exist.
// Throws FileError when it exists but cannot be read (for example while
// another program holds it open without sharing).
std::optional<std::string> ReadTextFile(const Path& path);

// Replaces the file's content: the text goes to a temporary file beside it,
// which then takes the file's place, so a crash or a full disk never leaves
// a half-written file. Throws FileError.
void WriteTextFileAtomically(const Path& path, std::string_view utf8);

// Appends text at the end of the file, creating it when missing. Throws
// FileError.
void AppendTextFile(const Path& path, std::string_view utf8);

// Copies a file's bytes over `to`, replacing it the same safe way.
// Throws FileError.
void CopyFileReplacing(const Path& from, const Path& to);

// Removes a file or an empty folder; one that is already missing is fine.
// Throws FileError when it stays.
void RemoveIfPresent(const Path& path);

// Renames a file, replacing any file at the new name. Throws FileError.
void RenameReplacing(const Path& from, const Path& to);

// Creates the folder and any missing folders above it. Throws FileError.
void CreateFolders(const Path& folder);

// Splits text at CR LF or LF; a final line end starts no extra line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace hx
