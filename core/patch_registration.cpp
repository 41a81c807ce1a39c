#include "core/patch_registration.h"

#include <algorithm>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/files.h"

namespace hx {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
constexpr char kEntryPrefix[] = "AutoInstallPatch";

char32_t FoldChar(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= U'\u0410' && c <= U'\u042F') return c + 32;  // А..Я
  if (c == U'\u0401') return U'\u0451';                 // Ё
  return c;
}

std::string ReadText(Registry& registry, const std::string& path, const char* name) {
  return registry.ReadString(kRoot, path, name).value_or(std::string());
}

void CopyKey(Registry& registry, const std::string& from, const std::string& to) {
  if (!registry.CreateKey(kRoot, to)) throw RegistryError("cannot create " + to);
  for (const std::string& name : registry.ValueNames(kRoot, from)) {
    if (auto text = registry.ReadString(kRoot, from, name)) registry.WriteString(kRoot, to, name, *text);
    else if (auto number = registry.ReadDword(kRoot, from, name)) registry.WriteDword(kRoot, to, name, *number);
  }
  for (const std::string& sub : registry.SubKeyNames(kRoot, from)) CopyKey(registry, from + "\\" + sub, to + "\\" + sub);
}

// Deletes entry q and gives every later entry up to <last> the number one
// lower; a number whose key is missing is skipped.
void RemoveEntry(Registry& registry, long long q, long long last) {
  if (registry.KeyExists(kRoot, PatchEntryPath(q))) registry.DeleteKey(kRoot, PatchEntryPath(q));
  for (long long j = q + 1; j <= last; ++j)
    if (registry.KeyExists(kRoot, PatchEntryPath(j))) MovePatchEntry(registry, j, j - 1);
}

}  // namespace

std::string PatchEntryPath(long long number) {
  return std::string(kPatchListKey) + "\\" + kEntryPrefix + std::to_string(number);
}

bool PatchTextEquals(std::string_view a, std::string_view b) {
  const std::u32string x = Utf8ToCodePoints(a), y = Utf8ToCodePoints(b);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (FoldChar(x[i]) != FoldChar(y[i])) return false;
  return true;
}

bool ProgramFileExists(const std::string& utf8Path) {
  if (utf8Path.empty()) return false;
  return files::IsFile(Path(utf8Path));
}

void MovePatchEntry(Registry& registry, long long from, long long to) {
  const std::string source = PatchEntryPath(from), target = PatchEntryPath(to);
  if (registry.KeyExists(kRoot, target)) registry.DeleteKey(kRoot, target);
  CopyKey(registry, source, target);
  registry.DeleteKey(kRoot, source);
}

long long HighestPatchEntry(Registry& registry) {
  long long highest = 0;
  const size_t prefix = sizeof(kEntryPrefix) - 1;
  for (const std::string& name : registry.SubKeyNames(kRoot, kPatchListKey)) {
    if (name.size() <= prefix || name.size() > prefix + 18) continue;
    if (!PatchTextEquals(name.substr(0, prefix), kEntryPrefix)) continue;
    const std::string digits = name.substr(prefix);
    if (digits[0] == '0' || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    highest = std::max(highest, std::stoll(digits));
  }
  return highest;
}

void RegisterPatch(Registry& registry, bool remove, const std::string& programName, const std::string& programVersion,
                   const std::string& programFile) {
  RegisterPatch(registry, remove, programName, programVersion, programFile, ProgramFileExists);
}

void RegisterPatch(Registry& registry, bool remove, const std::string& programName, const std::string& programVersion,
                   const std::string& programFile, const FileExistsFn& fileExists) {
  bool registered = false;

  // Clean-up: entries whose program file has gone leave the list.
  if (registry.KeyExists(kRoot, kPatchParentKey) && registry.KeyExists(kRoot, kPatchListKey)) {
    const long long counted = registry.ReadDword(kRoot, kPatchListKey, kPatchCountValue).value_or(0);
    // Entries past the highest existing key are all missing and would all
    // be removed; walking only up to it gives the same list and count.
    const long long n = std::min(counted, HighestPatchEntry(registry));
    long long deleted = counted - n;
    for (long long p = 1; p <= n; ++p) {
      const long long q = p - (deleted - (counted - n));
      const std::string entry = PatchEntryPath(q);
      const std::string exe = ReadText(registry, entry, kPatchExeValue);
      const std::string version = ReadText(registry, entry, kPatchVersionValue);
      const std::string name = ReadText(registry, entry, kPatchNameValue);
      const bool mine = PatchTextEquals(exe, programFile) && PatchTextEquals(version, programVersion) &&
                        PatchTextEquals(name, programName);
      if (exe.empty() || !fileExists(exe) || (mine && remove)) {
        RemoveEntry(registry, q, counted - deleted);
        ++deleted;
      } else if (mine) {
        registered = true;
      }
    }
    if (deleted >= counted) {
      registry.DeleteKey(kRoot, kPatchListKey);
    } else {
      registry.WriteDword(kRoot, kPatchListKey, kPatchCountValue, static_cast<uint32_t>(counted - deleted));
    }
  }

  if (remove || registered) return;

  // Registration: the program joins the end of the list.
  if (!registry.CreateKey(kRoot, kPatchListKey)) throw RegistryError("cannot create " + std::string(kPatchListKey));
  const uint32_t n = registry.ReadDword(kRoot, kPatchListKey, kPatchCountValue).value_or(0) + 1;
  registry.WriteDword(kRoot, kPatchListKey, kPatchCountValue, n);
  const std::string entry = PatchEntryPath(n);
  registry.WriteString(kRoot, entry, kPatchExeValue, programFile);
  registry.WriteString(kRoot, entry, kPatchVersionValue, programVersion);
  registry.WriteString(kRoot, entry, kPatchNameValue, programName);
}

}  // namespace hx
