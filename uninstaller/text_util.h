// Small text and path helpers of the uninstaller.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ini.h"  // EqualsNoCase: ASCII case ignored

namespace hx::uninstall {

bool StartsWithAsciiNoCase(std::string_view text, std::string_view prefix);
std::string LowerAscii(std::string_view text);

// Lines of a manifest or language file: a line ends at CR LF, the end of the
// text ends the last line (a final CR LF starts no extra line); nothing is
// trimmed and empty lines count.
std::vector<std::string> SplitCrLfLines(std::string_view text);
std::string JoinCrLf(const std::vector<std::string>& lines);

// Replaces each "%s" in turn by the next argument.
std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& args);

// The part before the last "\" or "/" (the folder) and the part after it.
std::string FolderOf(std::string_view path);
std::string NameOf(std::string_view path);
// The path with its extension (from the last "." of the name) replaced.
std::string WithExtension(std::string_view path, std::string_view extension);
// The path without trailing "\" or "/", unless it is only separators.
std::string WithoutTrailingSeparators(std::string_view path);

// True for a folder that is a whole drive or share: "C:", "C:\", "\", "\\server\share",
// "\\?\C:\" and the like. Removing everything below such a folder is never
// what an uninstaller means.
bool IsDriveRoot(std::string_view folder);

// The names of a relative path from the manifest, with "." dropped and ".."
// taking back the name before it, as Windows reads the path; nothing when the
// path leaves the folder it is joined to: a drive letter or other ":", a UNC
// or device prefix, a ".." that climbs above the start, or a folder name
// ending in "." or " " (Windows would read it as another name). An entry may
// begin with one "\" (the manifest's own style) but not with two.
std::optional<std::vector<std::string>> ContainedNames(std::string_view entry);
// True when ContainedNames gives names.
bool IsContainedRelativePath(std::string_view entry);

// True for a full path that names one place whatever the current folder and
// drive are: "C:\..." or "\\server\share\..." (also in the "\\?\" form).
// "C:name", "\name" and "name" depend on them; "\\.\" names a device.
bool IsAbsolutePath(std::string_view path);

}  // namespace hx::uninstall
