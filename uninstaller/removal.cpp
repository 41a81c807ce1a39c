#include "uninstaller/removal.h"

#include <algorithm>

#include "uninstaller/batch.h"
#include "uninstaller/mini_reg.h"
#include "uninstaller/text_util.h"

namespace hx::uninstall {
namespace {

bool StartsWithSeparator(const std::string& s) { return !s.empty() && (s[0] == '\\' || s[0] == '/'); }
bool EndsWithSeparator(const std::string& s) { return !s.empty() && (s.back() == '\\' || s.back() == '/'); }

// Logs a group's heading before its first removed item, once.
class Group {
 public:
  Group(RemovalProgress& progress, std::string heading) : progress_(progress), heading_(std::move(heading)) {}
  void Removed(const std::string& line) {
    Head();
    progress_.StepProgress(true, line);
  }
  void Skipped() { progress_.StepProgress(false, std::string()); }
  // A line that tells of an item without moving the bar.
  void Note(const std::string& line) {
    Head();
    progress_.AddLogLine(line);
  }

 private:
  void Head() {
    if (!headed_) progress_.AddLogLine(heading_);
    headed_ = true;
  }

  RemovalProgress& progress_;
  std::string heading_;
  bool headed_ = false;
};

// A name the reboot batch can carry exactly: the command interpreter would
// expand "*" and "?" to other files, and a character the OEM code page
// lacks would become "?" or a look-alike naming another file.
bool BatchCanName(FileSystem& files, const std::string& path) {
  for (char c : path)
    if (c == '*' || c == '?' || c == '"' || static_cast<unsigned char>(c) < 0x20) return false;
  return files.OemCanHold(path);
}

class Remover {
 public:
  Remover(RemovalMode mode, const ManifestHeader& header, RemovalLists& lists, RemovalContext& c, RemovalState& s)
      : mode_(mode), header_(header), lists_(lists), c_(c), s_(s) {}

  void Run() {
    const bool programFiles = mode_ == RemovalMode::RemoveProgramFiles || mode_ == RemovalMode::RemoveEverything;
    if (programFiles && !DeleteExecutable()) {
      s_.executableLocked = true;
    } else {
      int range = static_cast<int>(lists_.registry.size() + lists_.temporary.size());
      if (mode_ != RemovalMode::ResetSettings) range += static_cast<int>(lists_.links.size());
      if (mode_ == RemovalMode::ResetSettings || mode_ == RemovalMode::RemoveEverything)
        range += static_cast<int>(lists_.settings.size());
      if (programFiles) range += static_cast<int>(lists_.install.size());
      c_.progress.SetRange(range);

      if (mode_ != RemovalMode::ResetSettings) Links();
      RegistryPhase();
      Temporary();
      if (mode_ == RemovalMode::ResetSettings || mode_ == RemovalMode::RemoveEverything) Settings();
      if (programFiles) {
        Installed();
        Folders();
      }
      if (!s_.rebootBatchText.empty()) HandToNextLogon();
    }
    c_.progress.FinishBar();
    c_.progress.AddLogLine(c_.texts[25] + "...");
  }

 private:
  // A file that exists but cannot be deleted, or whose state cannot be told,
  // waits for the next logon; a folder or a link of that name is not a file
  // to delete.
  enum class Outcome { Missing, Deleted, Locked };
  Outcome DeleteFile(const std::string& path) {
    if (c_.files.RemoveFile(path)) return Outcome::Deleted;
    const PathKind kind = c_.files.Kind(path);
    return kind == PathKind::File || kind == PathKind::Unknown ? Outcome::Locked : Outcome::Missing;
  }

  void Record(Group& group, const std::string& path, Outcome outcome) {
    switch (outcome) {
      case Outcome::Deleted: group.Removed(path); break;
      case Outcome::Missing: group.Skipped(); break;
      case Outcome::Locked:
        group.Skipped();
        if (BatchCanName(c_.files, path)) {
          s_.rebootRequired = true;
          s_.ScheduleErase(path);
        } else {
          group.Note(FillPlaceholders(c_.texts[kTextRemoveByHand], {path}));
        }
        break;
    }
  }

  // True when a folder between `base` and the entry's file is a link, or
  // cannot be examined: a delete there would land in another folder.
  bool ThroughLink(const std::string& base, const std::vector<std::string>& names) {
    std::string folder = base;
    for (size_t i = 0; i + 1 < names.size(); ++i) {
      folder += "\\" + names[i];
      const PathKind kind = c_.files.Kind(folder);
      if (kind == PathKind::Link || kind == PathKind::Unknown) return true;
      if (kind != PathKind::Folder) return false;  // nothing below exists
    }
    return false;
  }

  // The entry's names below `base`, when it stays inside without passing a link.
  std::optional<std::vector<std::string>> SafeNames(const std::string& base, const std::string& entry) {
    auto names = ContainedNames(entry);
    if (!names || ThroughLink(base, *names)) return std::nullopt;
    return names;
  }

  // A missing executable counts as deleted. A name that would reach outside
  // the program folder or through a link, or an executable that stays or
  // cannot be examined, is refused, and with it the whole removal.
  bool DeleteExecutable() {
    const std::string name = header_.programName + ".exe";
    if (!SafeNames(c_.programFolder, name)) return false;
    const std::string path = c_.programFolder + "\\" + name;
    if (c_.files.Kind(path) != PathKind::Missing) c_.files.RemoveFile(path);
    const PathKind after = c_.files.Kind(path);
    return after == PathKind::Missing || after == PathKind::Folder;
  }

  // Shortcut entries are full paths; a relative one would be read from
  // whatever the current folder is and could name a neighbour's file.
  void Links() {
    Group group(c_.progress, c_.texts[46]);
    for (const std::string& entry : lists_.links) {
      if (!IsAbsolutePath(entry)) {
        group.Skipped();
      } else if (EndsWithSeparator(entry)) {
        const std::string folder = WithoutTrailingSeparators(entry);
        if (!c_.files.FolderExists(folder)) {
          group.Skipped();
        } else {
          c_.files.RemoveEmptyFolder(folder);
          if (!c_.files.FolderExists(folder)) group.Removed(entry);
        }
      } else {
        Record(group, entry, DeleteFile(entry));
      }
    }
    lists_.links.clear();
  }

  void RegistryPhase() {
    Group group(c_.progress, c_.texts[47]);
    MiniReg reg(c_.registry);
    CleanPatchRegistrations(c_.registry, c_.fileExists, c_.programFolder + "\\" + header_.programName + ".exe",
                            header_.programName, header_.programVers);
    for (const std::string& entry : lists_.registry) {
      const bool isKey = !entry.empty() && entry.back() == '\\';
      RegistryRoot root;
      std::string path;
      if (StartsWithAsciiNoCase(entry, "HKEY_LOCAL_MACHINE")) {
        root = RegistryRoot::LocalMachine;
        path = entry.size() > 19 ? entry.substr(19) : std::string();
        if (mode_ == RemovalMode::ResetSettings && path.compare(0, 51, kUninstallKeyPrefix) == 0) {
          group.Skipped();
          continue;
        }
      } else if (StartsWithAsciiNoCase(entry, "HKEY_CURRENT_USER")) {
        root = RegistryRoot::CurrentUser;
        path = entry.size() > 18 ? entry.substr(18) : std::string();
      } else {
        continue;
      }
      const bool removed = isKey ? reg.PathKeyExists(root, path) && reg.PathDeleteKey(root, path)
                                 : reg.PathValueExists(root, path) && reg.PathDeleteValue(root, path);
      if (removed) group.Removed(entry);
      else group.Skipped();
    }
    if (!header_.autoRunName.empty()) {
      const std::string path = kRunKeyForAutoRun + header_.autoRunName;
      if (reg.PathValueExists(RegistryRoot::LocalMachine, path) && reg.PathDeleteValue(RegistryRoot::LocalMachine, path))
        group.Removed("HKEY_LOCAL_MACHINE\\" + path);
      if (reg.PathValueExists(RegistryRoot::CurrentUser, path) && reg.PathDeleteValue(RegistryRoot::CurrentUser, path))
        group.Removed("HKEY_CURRENT_USER\\" + path);
    }
    lists_.registry.clear();
  }

  void Temporary() {
    if (lists_.temporary.empty()) return;
    Group group(c_.progress, c_.texts[48]);
    for (const std::string& entry : lists_.temporary) {
      if (!SafeNames(c_.tempFolder, entry)) group.Skipped();
      else Record(group, c_.tempFolder + "\\" + entry, DeleteFile(c_.tempFolder + "\\" + entry));
    }
    lists_.temporary.clear();
  }

  // Settings entries begin with "\"; one that does not is still taken
  // inside the program folder, never as a neighbour whose name merely
  // begins with the folder's.
  void Settings() {
    Group group(c_.progress, c_.texts[32]);
    for (const std::string& entry : lists_.settings) {
      const std::string path = c_.programFolder + (StartsWithSeparator(entry) ? "" : "\\") + entry;
      if (!SafeNames(c_.programFolder, entry)) group.Skipped();
      else Record(group, path, DeleteFile(path));
    }
    lists_.settings.clear();
  }

  void Installed() {
    Group group(c_.progress, c_.texts[33]);
    while (!lists_.install.empty()) {
      const std::string entry = lists_.install.back();
      lists_.install.pop_back();
      if (!SafeNames(c_.programFolder, entry)) {
        group.Skipped();
        continue;
      }
      // "\Sub\Name" joins directly; "Name" joins with a "\" between.
      if (StartsWithSeparator(entry)) {
        const std::string a = c_.programFolder + entry;
        const Outcome outcome = DeleteFile(a);
        if (outcome != Outcome::Missing) {
          Record(group, a, outcome);
          continue;
        }
      }
      const std::string b = c_.programFolder + "\\" + entry;
      Record(group, b, DeleteFile(b));
    }
  }

  void Folders() {
    Group group(c_.progress, c_.texts[27]);
    RemoveFoldersBelow(group, c_.programFolder);
    c_.files.RemoveEmptyFolder(c_.programFolder);
    if (!c_.files.FolderExists(c_.programFolder)) group.Removed(c_.programFolder);
  }

  // Depth first; links to other places, and folders that cannot be
  // examined, are neither entered nor removed.
  void RemoveFoldersBelow(Group& group, const std::string& folder) {
    for (const FolderEntry& entry : c_.files.List(folder)) {
      if (!entry.folder || entry.link) continue;
      const std::string path = folder + "\\" + entry.name;
      if (c_.files.Kind(path) != PathKind::Folder) continue;
      RemoveFoldersBelow(group, path);
      if (c_.files.RemoveEmptyFolder(path)) group.Removed(path);
    }
  }

  // The files that stayed go to the reboot batch. Without it, or without
  // the value that runs it, a restart would remove nothing: say so, and do
  // not ask for one.
  void HandToNextLogon() {
    const std::string batch = RebootBatchPath(c_.uninstallerPath);
    switch (WriteRebootBatch(c_.files, c_.registry, c_.uninstallerPath, s_)) {
      case RebootBatchResult::Written: return;
      case RebootBatchResult::NotWritten:
        c_.progress.AddLogLine(FillPlaceholders(c_.texts[kTextRebootBatchNotWritten], {batch}));
        break;
      case RebootBatchResult::NotRegistered:
        c_.progress.AddLogLine(FillPlaceholders(c_.texts[kTextRebootBatchNotRegistered], {batch}));
        break;
    }
    s_.rebootRequired = false;
  }

  RemovalMode mode_;
  const ManifestHeader& header_;
  RemovalLists& lists_;
  RemovalContext& c_;
  RemovalState& s_;
};

}  // namespace

void RemovalState::ScheduleErase(const std::string& path) {
  if (!rebootBatchText.empty()) rebootBatchText += "\r\n";
  rebootBatchText += EraseLine(path);
}

std::string RebootBatchPath(const std::string& uninstallerPath) {
  return FolderOf(uninstallerPath) + "\\reboot_" + WithExtension(NameOf(uninstallerPath), ".bat");
}

RebootBatchResult WriteRebootBatch(FileSystem& files, Registry& registry, const std::string& uninstallerPath,
                                   const RemovalState& state) {
  const std::string batch = RebootBatchPath(uninstallerPath);
  const auto earlier = files.ReadOemText(batch);
  const std::string content = RebootBatchContent(state.rebootBatchText, state.rebootRequired, uninstallerPath, earlier, batch);
  if (!files.WriteOemText(batch, content)) return RebootBatchResult::NotWritten;
  if (!MiniReg(registry).PathWriteString(RegistryRoot::LocalMachine, kRunOncePath, batch))
    return RebootBatchResult::NotRegistered;
  return RebootBatchResult::Written;
}

void RunRemoval(RemovalMode mode, const ManifestHeader& header, RemovalLists& lists, RemovalContext& context,
                RemovalState& state) {
  Remover(mode, header, lists, context, state).Run();
}

void CleanPatchRegistrations(Registry& registry, const FileExistsFn& fileExists, const std::string& executablePath,
                             const std::string& programName, const std::string& programVers) {
  constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
  MiniReg reg(registry);
  if (!registry.KeyExists(kRoot, kPatchListKey)) return;
  const long long counted = registry.ReadDword(kRoot, kPatchListKey, kPatchCountValue).value_or(0);
  if (counted <= 0) return;
  const long long n = std::min(counted, HighestPatchEntry(registry));
  long long removed = 0;
  try {
    for (long long k = 1; k <= n; ++k) {
      const long long i = k - removed;
      const std::string entry = PatchEntryPath(i);
      auto read = [&](const char* name) { return registry.ReadString(kRoot, entry, name).value_or(std::string()); };
      const std::string exe = read(kPatchExeValue), version = read(kPatchVersionValue), name = read(kPatchNameValue);
      const bool gone = exe.empty() || !fileExists(exe);
      const bool mine = PatchTextEquals(exe, executablePath) && PatchTextEquals(version, programVers) &&
                        PatchTextEquals(name, programName);
      if (!gone && !mine) continue;
      reg.PathDeleteKey(kRoot, entry + "\\");
      for (long long j = i + 1; j <= n - removed; ++j)
        if (registry.KeyExists(kRoot, PatchEntryPath(j))) MovePatchEntry(registry, j, j - 1);
      ++removed;
    }
  } catch (const std::exception&) {
    // A refused change leaves the rest of the list as it is; the count
    // below still matches the entries renumbered so far.
  }
  // Entries past the highest existing key were missing and count as removed.
  removed += counted - n;
  reg.PathWriteInteger(kRoot, std::string(kPatchListKey) + "\\" + kPatchCountValue,
                       static_cast<uint32_t>(std::max(0LL, counted - removed)));
  if (removed >= counted) reg.PathDeleteKey(kRoot, std::string(kPatchListKey) + "\\");
}

}  // namespace hx::uninstall
