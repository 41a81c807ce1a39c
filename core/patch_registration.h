// Registration of installed program versions under
// HKEY_CURRENT_USER\Software\Tanvolk\AutoInstallPatch.
//
// Layout: the DWORD "AutoInstallPatchCount" holds n, and the subkeys
// AutoInstallPatch1 .. AutoInstallPatch<n>, numbered without gaps in the order
// of registration, each hold the REG_SZ values ExePatch (the program file's
// full path), Version and ProgramName. Other programs share the list, so every
// entry names its own program. The uninstaller reads and cleans the same list.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "base/registry.h"

namespace hx {

inline constexpr char kPatchListKey[] = "Software\\Tanvolk\\AutoInstallPatch";
inline constexpr char kPatchParentKey[] = "Software\\Tanvolk";
inline constexpr char kPatchCountValue[] = "AutoInstallPatchCount";
inline constexpr char kPatchExeValue[] = "ExePatch";
inline constexpr char kPatchVersionValue[] = "Version";
inline constexpr char kPatchNameValue[] = "ProgramName";

// "Software\Tanvolk\AutoInstallPatch\AutoInstallPatch<number>".
std::string PatchEntryPath(long long number);

// Paths, versions and names of the list compare without regard to letter
// case (Latin and Cyrillic), as Windows compares file names.
bool PatchTextEquals(std::string_view a, std::string_view b);

// Whether a program file is still there; a folder of that name does not count.
using FileExistsFn = std::function<bool(const std::string& utf8Path)>;
bool ProgramFileExists(const std::string& utf8Path);

// Called at start-up with remove = false, the program's name and version,
// and the program file's full path. Removes entries whose program file has
// gone (renumbering the rest), then adds the program when it is not listed.
// With remove = true the program's own entry is removed instead and nothing
// is added. Throws RegistryError when the registry refuses; the caller
// reports it and goes on.
void RegisterPatch(Registry& registry, bool remove, const std::string& programName, const std::string& programVersion,
                   const std::string& programFile);
void RegisterPatch(Registry& registry, bool remove, const std::string& programName, const std::string& programVersion,
                   const std::string& programFile, const FileExistsFn& fileExists);

// Shared by the program and its uninstaller: gives entry <from> the number
// <to> with all its values (and any subkeys), then removes the old name.
void MovePatchEntry(Registry& registry, long long from, long long to);

// The highest n for which AutoInstallPatch<n> exists under the list key; 0
// when there is none. Bounds the walks so a damaged count cannot make them
// run for billions of missing entries.
long long HighestPatchEntry(Registry& registry);

}  // namespace hx
