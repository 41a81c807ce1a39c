// Text files as the program keeps them: code page 1251 on disk, UTF-8 in
// memory, lines ended by CR LF.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hx {

// The file's text converted to UTF-8; nothing when the file does not exist.
// Throws FileError when it exists but cannot be read (for example while
// another program holds it open without sharing).
std::optional<std::string> ReadTextFile(const std::filesystem::path& path);

// Replaces the file's content: the text goes to a temporary file beside it,
// which then takes the file's place, so a crash or a full disk never leaves
// a half-written file. Throws FileError.
void WriteTextFileAtomically(const std::filesystem::path& path, std::string_view utf8);

// Appends text at the end of the file, creating it when missing. Throws
// FileError.
void AppendTextFile(const std::filesystem::path& path, std::string_view utf8);

// Copies a file's bytes over `to`, replacing it the same safe way.
// Throws FileError.
void CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Splits text at CR LF or LF; a final line end starts no extra line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace hx
