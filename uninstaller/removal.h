// The removal: works through the RemovalLists for the chosen mode, deleting
// files, shortcuts, registry entries and folders, advancing a progress bar
// for every item and logging every item actually removed.
#pragma once
#include <string>

#include "base/registry.h"
#include "core/patch_registration.h"
#include "uninstaller/file_system.h"
#include "uninstaller/manifest.h"
#include "uninstaller/texts.h"

namespace hx::uninstall {

// The progress window as the removal drives it.
class RemovalProgress {
 public:
  virtual ~RemovalProgress() = default;
  virtual void SetRange(int total) = 0;
  // Adds one to the progress; with a line, also logs it.
  virtual void StepProgress(bool logged, const std::string& line) = 0;
  // Logs a line without moving the progress (group headings, the last line).
  virtual void AddLogLine(const std::string& line) = 0;
  // Sets the bar to the end of its range.
  virtual void FinishBar() = 0;
};

struct RemovalState {
  bool rebootRequired = false;    // some file waits for the next logon: a restart is worth asking for
  bool executableLocked = false;  // the program's executable stayed: nothing removed
  std::string rebootBatchText;    // Erase lines joined with CR LF

  void ScheduleErase(const std::string& path);
};

struct RemovalContext {
  FileSystem& files;
  Registry& registry;
  RemovalProgress& progress;
  const UninstallerTexts& texts;
  std::string programFolder;  // without a trailing "\"
  std::string tempFolder;
  std::string uninstallerPath;  // the running uninstaller; the reboot batch goes beside it
  FileExistsFn fileExists;      // for the patch list's program files
};

// Runs the whole removal for the mode; the lists are emptied as they are
// worked through. Nothing is deleted through a link: a folder between the
// program (or temporary) folder and an entry that is a junction or symbolic
// link, or that cannot be examined, only advances the bar. Files that exist
// but cannot be deleted, or cannot be examined, are handed to the next logon
// by the reboot batch before the last line is logged; when that fails, the
// log says so and no restart is asked for.
void RunRemoval(RemovalMode mode, const ManifestHeader& header, RemovalLists& lists, RemovalContext& context,
                RemovalState& state);

enum class RebootBatchResult { Written, NotWritten, NotRegistered };

// Writes the reboot batch "reboot_<uninstaller name>.bat" beside the
// uninstaller: the state's Erase lines, one for the uninstaller, then the
// lines of an earlier such batch or, the first time, one for the batch
// itself; and sets the RunOnce value that runs it at the next logon.
RebootBatchResult WriteRebootBatch(FileSystem& files, Registry& registry, const std::string& uninstallerPath,
                                   const RemovalState& state);
std::string RebootBatchPath(const std::string& uninstallerPath);

// Removes from the patch list (HKEY_CURRENT_USER, Software\Tanvolk\AutoInstallPatch)
// every entry whose program file is gone and the entry of
// this program (path, version and name equal, case ignored); renumbers the
// rest and rewrites the count, deleting the list key when it is left empty.
void CleanPatchRegistrations(Registry& registry, const FileExistsFn& fileExists, const std::string& executablePath,
                             const std::string& programName, const std::string& programVers);

inline constexpr char kRunKeyForAutoRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr char kUninstallKeyPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kRunOncePath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\UnInstall.KT";

}  // namespace hx::uninstall
