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
  bool rebootRequired = false;    // some file could not be deleted
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
  FileExistsFn fileExists;    // for the patch list's program files
};

// Runs the whole removal for the mode; the lists are emptied as they are
// worked through.
void RunRemoval(RemovalMode mode, const ManifestHeader& header, RemovalLists& lists, RemovalContext& context,
                RemovalState& state);

// Removes from the patch list (HKEY_CURRENT_USER, Software\Tanvolk\AutoInstallPatch)
// every entry whose program file is gone and the entry of
// this program (path, version and name equal, case ignored); renumbers the
// rest and rewrites the count, deleting the list key when it is left empty.
void CleanPatchRegistrations(Registry& registry, const FileExistsFn& fileExists, const std::string& executablePath,
                             const std::string& programName, const std::string& programVers);

inline constexpr char kRunKeyForAutoRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr char kUninstallKeyPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

}  // namespace hx::uninstall
