#include "uninstaller/removal.h"

#include <gtest/gtest.h>

#include <set>

#include "base/memory_registry.h"
#include "tests/unit/memory_file_system.h"
#include "uninstaller/text_util.h"

namespace hx::uninstall {
namespace {

constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
const std::string kDir = "C:\\Prog";
const std::string kTemp = "C:\\Temp";
const std::string kUninstaller = kTemp + "\\Unwinder.KT.exe";
const std::string kRebootBatch = kTemp + "\\reboot_Unwinder.KT.bat";

struct Recorder : RemovalProgress {
  int range = -1, steps = 0;
  bool finished = false;
  std::vector<std::string> log;
  void SetRange(int total) override { range = total; }
  void StepProgress(bool logged, const std::string& line) override {
    ++steps;
    if (logged) log.push_back(line);
  }
  void AddLogLine(const std::string& line) override { log.push_back(line); }
  void FinishBar() override { finished = true; }
};

// A prepared installation: program files, a component, settings, a
// shortcut, temporary files, registry entries, the autostart value and the
// patch list.
struct Installation {
  MemoryFileSystem fs;
  MemoryRegistry reg;
  Recorder progress;
  UninstallerTexts texts;
  RemovalState state;
  ManifestHeader header{"Horavex.KT", "1.0.1.2k.ru", "TFormHoravex", "Horavex"};
  std::string manifest;

  Installation() {
    fs.AddFile(kDir + "\\Horavex.KT.exe");
    fs.AddFile(kDir + "\\Unwinder.KT.exe");
    fs.AddFile(kDir + "\\Help\\index.htm");
    fs.AddFile(kDir + "\\Plugins\\comp.dll");
    fs.AddFile(kDir + "\\Settings\\HXSettings.ini");
    fs.AddFile(kDir + "\\Resource\\Uninstall.ini");
    fs.AddFile("C:\\Desktop\\Horavex.lnk");
    fs.AddFolder("C:\\Menu\\Horavex");
    fs.AddFile(kTemp + "\\hx.tmp");
    fs.AddFile("C:\\Users\\me\\precious.doc");
    reg.WriteString(kCU, "Software\\Tanvolk\\Horavex", "Pos", "1");
    reg.WriteString(kLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Horavex", "DisplayName", "H");
    reg.WriteString(kCU, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Horavex", "x");
    reg.WriteString(kCU, PatchEntryPath(1), "ExePatch", kDir + "\\Horavex.KT.exe");
    reg.WriteString(kCU, PatchEntryPath(1), "Version", "1.0.1.2k.ru");
    reg.WriteString(kCU, PatchEntryPath(1), "ProgramName", "Horavex.KT");
    reg.WriteDword(kCU, kPatchListKey, kPatchCountValue, 1);
    manifest =
        "ProgramName=Horavex.KT\r\nProgramVers=1.0.1.2k.ru\r\nFormClass=TFormHoravex\r\nAutoRunName=Horavex\r\n"
        "[ComponentsFiles]\r\n\\Plugins\\comp.dll\r\n"
        "[SettingsFiles]\r\n\\Settings\\HXSettings.ini\r\n"
        "[Links]\r\nC:\\Desktop\\Horavex.lnk\r\nC:\\Menu\\Horavex\\\r\n"
        "[RegSet]\r\nHKEY_CURRENT_USER\\Software\\Tanvolk\\Horavex\\Pos\r\n"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Horavex\\\r\n"
        "[TmpFiles]\r\nhx.tmp\r\n"
        "[InstallFiles]\r\nHoravex.KT.exe\r\nUnwinder.KT.exe\r\n\\Help\\index.htm\r\n\\Resource\\Uninstall.ini\r\n";
  }

  bool Exists(const std::string& path) { return fs.FileExists(path); }
  bool Logged(const std::string& line) const {
    return std::find(progress.log.begin(), progress.log.end(), line) != progress.log.end();
  }

  // Every removal stays in the program folder, the temporary folder or the
  // shortcuts the manifest names, wherever the entries pointed.
  void Run(RemovalMode mode) {
    RemovalLists lists;
    ParseManifestLists(manifest, ListPassFor(mode), header, lists);
    const std::vector<std::string> links = lists.links;
    RemovalContext context{fs,   reg,   progress,   texts, kDir, kTemp, kUninstaller,
                           [this](const std::string& p) { return fs.FileExists(p); }};
    RunRemoval(mode, header, lists, context, state);
    for (const std::string& removed : fs.Removed()) {
      bool allowed = removed.rfind("c:\\prog\\", 0) == 0 || removed == "c:\\prog" ||
                     removed.rfind("c:\\temp\\", 0) == 0;
      for (const std::string& link : links)
        allowed = allowed || removed == LowerAscii(WithoutTrailingSeparators(link));
      EXPECT_TRUE(allowed) << "removed " << removed;
    }
  }
};

// The folder becomes a junction to `target`.
void MakeJunction(MemoryFileSystem& fs, const std::string& folder, const std::string& target) {
  fs.Erase(folder);
  fs.AddLink(folder, target);
}

}  // namespace

TEST(RunRemoval, RemoveExternalSettingsTakesOnlyWhatLivesOutsideTheFolder) {
  Installation in;
  in.Run(RemovalMode::RemoveExternalSettings);
  EXPECT_FALSE(in.Exists("C:\\Desktop\\Horavex.lnk"));
  EXPECT_FALSE(in.fs.FolderExists("C:\\Menu\\Horavex"));
  EXPECT_FALSE(in.Exists(kTemp + "\\hx.tmp"));
  EXPECT_FALSE(in.reg.ValueExists(kCU, "Software\\Tanvolk\\Horavex", "Pos"));
  EXPECT_FALSE(in.reg.KeyExists(kLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Horavex"));
  EXPECT_FALSE(in.reg.ValueExists(kCU, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Horavex"));
  EXPECT_TRUE(in.Exists(kDir + "\\Horavex.KT.exe"));
  EXPECT_TRUE(in.Exists(kDir + "\\Settings\\HXSettings.ini"));
  // The patch entry names this very program in this folder: it goes in every mode.
  EXPECT_FALSE(in.reg.KeyExists(kCU, kPatchListKey));
  EXPECT_EQ(in.progress.range, 2 + 2 + 1);
  EXPECT_EQ(in.progress.log.front(), "Удаление ярлыков...");
  EXPECT_EQ(in.progress.log.back(), "Готово...");
  EXPECT_TRUE(in.progress.finished);
}

TEST(RunRemoval, ResetSettingsKeepsTheUninstallEntryUnlessItsCaseDiffers) {
  Installation in;
  in.Run(RemovalMode::ResetSettings);
  EXPECT_TRUE(in.reg.KeyExists(kLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Horavex"));
  EXPECT_FALSE(in.Exists(kDir + "\\Settings\\HXSettings.ini"));
  EXPECT_TRUE(in.Exists("C:\\Desktop\\Horavex.lnk"));
  EXPECT_TRUE(in.Exists(kDir + "\\Horavex.KT.exe"));
  EXPECT_EQ(in.progress.range, 1 + 2 + 1);
  EXPECT_EQ(in.progress.steps, 1 + 2 + 1 + 1);  // settings, registry, temp, autostart

  Installation lower;
  const std::string upper = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  lower.manifest.replace(lower.manifest.find(upper), upper.size(),
                         "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\uninstall");
  lower.Run(RemovalMode::ResetSettings);
  EXPECT_FALSE(lower.reg.KeyExists(kLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Horavex"));
}

TEST(RunRemoval, RemoveProgramFilesKeepsSettingsAndComponents) {
  Installation in;
  in.Run(RemovalMode::RemoveProgramFiles);
  EXPECT_FALSE(in.Exists(kDir + "\\Horavex.KT.exe"));
  EXPECT_FALSE(in.Exists(kDir + "\\Unwinder.KT.exe"));
  EXPECT_FALSE(in.fs.FolderExists(kDir + "\\Help"));
  EXPECT_TRUE(in.Exists(kDir + "\\Plugins\\comp.dll"));
  EXPECT_TRUE(in.Exists(kDir + "\\Settings\\HXSettings.ini"));
  EXPECT_TRUE(in.fs.FolderExists(kDir));
  EXPECT_FALSE(in.reg.KeyExists(kCU, kPatchListKey));
  EXPECT_TRUE(in.Exists("C:\\Users\\me\\precious.doc"));
}

TEST(RunRemoval, RemoveEverythingEmptiesTheFolderAndLogsWhatWent) {
  Installation in;
  in.Run(RemovalMode::RemoveEverything);
  EXPECT_FALSE(in.fs.FolderExists(kDir));
  EXPECT_TRUE(in.Exists("C:\\Users\\me\\precious.doc"));
  EXPECT_FALSE(in.state.rebootRequired);
  const auto& log = in.progress.log;
  auto has = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); };
  EXPECT_TRUE(has(kDir + "\\Help\\index.htm"));
  EXPECT_TRUE(has(kDir + "\\Plugins\\comp.dll"));
  EXPECT_TRUE(has(kDir + "\\Plugins"));
  EXPECT_TRUE(has(kDir));
  EXPECT_TRUE(has("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Horavex"));
  EXPECT_TRUE(has("Удаление каталогов..."));
  EXPECT_FALSE(has(kDir + "\\Horavex.KT.exe"));  // the executable goes first, without a line
  EXPECT_EQ(in.progress.range, 5 + 1 + 2 + 2 + 1);
}

TEST(RunRemoval, ALockedExecutableCancelsEverything) {
  Installation in;
  in.fs.Lock(kDir + "\\Horavex.KT.exe");
  in.Run(RemovalMode::RemoveEverything);
  EXPECT_TRUE(in.state.executableLocked);
  EXPECT_TRUE(in.Exists("C:\\Desktop\\Horavex.lnk"));
  EXPECT_TRUE(in.reg.KeyExists(kCU, PatchEntryPath(1)));
  EXPECT_EQ(in.progress.log, (std::vector<std::string>{"Готово..."}));
}

TEST(RunRemoval, ALockedFileWaitsForTheNextLogonThroughTheRebootBatch) {
  Installation in;
  in.fs.Lock(kDir + "\\Settings\\HXSettings.ini");
  in.fs.AddFile(kRebootBatch, "Erase \"C:\\Old\\x.txt\"\r\nErase \"" + kRebootBatch + "\"\r\n");
  in.Run(RemovalMode::ResetSettings);
  EXPECT_TRUE(in.state.rebootRequired);
  EXPECT_EQ(in.state.rebootBatchText, "Erase \"C:\\Prog\\Settings\\HXSettings.ini\"");
  for (const auto& line : in.progress.log) EXPECT_EQ(line.find("HXSettings"), std::string::npos);
  // The new lines come first; the earlier batch's own closing line stays last.
  EXPECT_EQ(in.fs.ReadOemText(kRebootBatch),
            "Erase \"C:\\Prog\\Settings\\HXSettings.ini\"\r\nErase \"" + kUninstaller +
                "\"\r\nErase \"C:\\Old\\x.txt\"\r\nErase \"" + kRebootBatch + "\"\r\n");
  EXPECT_EQ(in.reg.ReadString(kLM, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "UnInstall.KT"),
            kRebootBatch);
  EXPECT_EQ(in.progress.log.back(), "Готово...");
}

TEST(RunRemoval, ARebootBatchThatCannotBeSetUpIsLoggedAndNoRestartIsAskedFor) {
  const std::string runOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
  Installation unwritable;
  unwritable.fs.Lock(kDir + "\\Settings\\HXSettings.ini");
  unwritable.fs.AddFile(kRebootBatch, "Erase \"C:\\Old\\x.txt\"\r\n");
  unwritable.fs.Lock(kRebootBatch);
  unwritable.Run(RemovalMode::ResetSettings);
  EXPECT_FALSE(unwritable.state.rebootRequired);
  EXPECT_TRUE(unwritable.Logged("Не удалось записать файл \"" + kRebootBatch +
                                "\": оставшиеся файлы не будут удалены при следующем входе в систему, удалите их "
                                "вручную."));
  EXPECT_FALSE(unwritable.reg.ValueExists(kLM, runOnce, "UnInstall.KT"));
  EXPECT_EQ(unwritable.progress.log.back(), "Готово...");

  Installation unregistered;
  unregistered.fs.Lock(kDir + "\\Settings\\HXSettings.ini");
  unregistered.reg.SetReadOnly(kLM, true);
  unregistered.Run(RemovalMode::ResetSettings);
  EXPECT_FALSE(unregistered.state.rebootRequired);
  EXPECT_TRUE(unregistered.Exists(kRebootBatch));
  EXPECT_TRUE(unregistered.Logged("Не удалось назначить запуск \"" + kRebootBatch +
                                  "\" при следующем входе в систему: запустите его вручную после перезагрузки."));

  // The batch lies beside the uninstaller, whose own name it cannot carry.
  Installation unnamed;
  unnamed.fs.Lock(kDir + "\\Settings\\HXSettings.ini");
  unnamed.fs.SetOemLacks("ж");
  const std::string uninstaller = "C:\\Temp\\жж\\Unwinder.KT.exe";
  unnamed.fs.AddFolder(FolderOf(uninstaller));
  RemovalState state;
  state.ScheduleErase(kDir + "\\Settings\\HXSettings.ini");
  state.rebootRequired = true;
  EXPECT_EQ(WriteRebootBatch(unnamed.fs, unnamed.reg, uninstaller, state), RebootBatchResult::NotWritten);
  EXPECT_FALSE(unnamed.Exists(RebootBatchPath(uninstaller)));
}

TEST(RunRemoval, AFileThatCannotBeExaminedCountsAsHeldNeverAsGone) {
  Installation in;
  in.fs.Deny(kDir + "\\Settings\\HXSettings.ini");
  in.Run(RemovalMode::ResetSettings);
  EXPECT_TRUE(in.state.rebootRequired);
  EXPECT_EQ(in.state.rebootBatchText, "Erase \"C:\\Prog\\Settings\\HXSettings.ini\"");

  // An executable that cannot be examined may still be there: nothing is removed.
  Installation exe;
  exe.fs.Deny(kDir + "\\Horavex.KT.exe");
  exe.Run(RemovalMode::RemoveProgramFiles);
  EXPECT_TRUE(exe.state.executableLocked);
  EXPECT_TRUE(exe.Exists("C:\\Desktop\\Horavex.lnk"));
}

TEST(RunRemoval, NamesTheRebootBatchCannotCarryExactlyAreLoggedNotScheduled) {
  Installation in;
  in.fs.SetOemLacks("€");
  in.fs.AddFile(kDir + "\\Settings\\Notes€.txt");
  in.fs.AddFile(kDir + "\\Settings\\Notes1.txt", "the user's");
  in.fs.AddFile("C:\\Desktop\\a?.lnk");
  in.fs.AddFile("C:\\Desktop\\ab.lnk", "the user's");
  for (const char* held : {"\\Settings\\Notes€.txt", "\\Settings\\HXSettings.ini"}) in.fs.Lock(kDir + held);
  in.fs.AddFile("C:\\Desktop\\a\"b.lnk");
  in.fs.Lock("C:\\Desktop\\a?.lnk");
  in.fs.Lock("C:\\Desktop\\a\"b.lnk");
  in.manifest += "[SettingsFiles]\r\n\\Settings\\Notes€.txt\r\n[Links]\r\nC:\\Desktop\\a?.lnk\r\nC:\\Desktop\\a\"b.lnk\r\n";
  in.Run(RemovalMode::RemoveEverything);
  // Only the name that converts exactly is scheduled; no wildcard, no stand-in.
  EXPECT_EQ(in.state.rebootBatchText, "Erase \"C:\\Prog\\Settings\\HXSettings.ini\"");
  EXPECT_TRUE(in.state.rebootRequired);
  EXPECT_TRUE(in.Logged("Не удалось удалить \"C:\\Prog\\Settings\\Notes€.txt\", удалите этот файл вручную."));
  EXPECT_TRUE(in.Logged("Не удалось удалить \"C:\\Desktop\\a?.lnk\", удалите этот файл вручную."));
  EXPECT_TRUE(in.Exists(kDir + "\\Settings\\Notes1.txt"));
  EXPECT_TRUE(in.Exists("C:\\Desktop\\ab.lnk"));
  const auto batch = in.fs.ReadOemText(kRebootBatch);
  ASSERT_TRUE(batch);
  EXPECT_EQ(batch->find('?'), std::string::npos);
  EXPECT_EQ(batch->find("Notes"), std::string::npos);
}

TEST(RunRemoval, NothingIsRemovedThroughAJunctionOnTheWayToAnEntry) {
  Installation in;
  const std::string docs = "C:\\Users\\me\\Documents";
  in.fs.AddFile(docs + "\\index.htm", "the user's page");
  in.fs.AddFile(docs + "\\Settings\\HXSettings.ini", "the user's settings");
  in.fs.AddFile(docs + "\\hx.tmp", "the user's");
  MakeJunction(in.fs, kDir + "\\Help", docs);
  in.fs.AddLink(kDir + "\\Data", docs);
  MakeJunction(in.fs, kTemp, "C:\\Users\\me");
  in.fs.AddLink("C:\\Users\\me\\Cache", docs);
  in.manifest += "[SettingsFiles]\r\n\\Data\\Settings\\HXSettings.ini\r\n[TmpFiles]\r\nCache\\hx.tmp\r\n";
  in.Run(RemovalMode::RemoveEverything);
  EXPECT_TRUE(in.Exists(docs + "\\index.htm"));
  EXPECT_TRUE(in.Exists(docs + "\\Settings\\HXSettings.ini"));
  EXPECT_TRUE(in.Exists(docs + "\\hx.tmp"));
  EXPECT_TRUE(in.fs.FolderExists(kDir + "\\Help"));
  // Each refused entry only advances the bar: no line, no batch.
  EXPECT_FALSE(in.state.rebootRequired);
  EXPECT_GE(in.progress.steps, in.progress.range);
  for (const auto& line : in.progress.log)
    for (const char* refused : {"index.htm", "Data", "Cache"}) EXPECT_EQ(line.find(refused), std::string::npos) << line;
  // The installation's own files beside the junctions still go.
  EXPECT_FALSE(in.Exists(kDir + "\\Settings\\HXSettings.ini"));
  EXPECT_FALSE(in.Exists(kDir + "\\Plugins\\comp.dll"));
}

TEST(RunRemoval, ShortcutEntriesThatAreNotFullPathsAreRefused) {
  Installation in;
  in.fs.SetCurrentFolder("C:\\");  // where the removal stage is started
  in.fs.AddFile("C:\\Neighbour\\notes.txt", "the neighbour's");
  in.fs.AddFile("C:\\Horavex.lnk", "not ours");
  in.fs.AddFolder("C:\\Menu\\Other");
  in.manifest += "[Links]\r\nNeighbour\\notes.txt\r\nHoravex.lnk\r\n\\Users\\me\\precious.doc\r\n"
                 "C:Horavex.lnk\r\nMenu\\Other\\\r\n";
  in.Run(RemovalMode::RemoveExternalSettings);
  EXPECT_TRUE(in.Exists("C:\\Neighbour\\notes.txt"));
  EXPECT_TRUE(in.Exists("C:\\Horavex.lnk"));
  EXPECT_TRUE(in.Exists("C:\\Users\\me\\precious.doc"));
  EXPECT_TRUE(in.fs.FolderExists("C:\\Menu\\Other"));
  EXPECT_FALSE(in.Exists("C:\\Desktop\\Horavex.lnk"));  // the full path still goes
  EXPECT_EQ(in.progress.range, 7 + 2 + 1);
  EXPECT_EQ(in.progress.steps, 7 + 2 + 1 + 1);  // and the autostart value
}

TEST(RunRemoval, EntriesReachingOutsideTheirFolderOnlyAdvanceTheBar) {
  Installation in;
  in.fs.AddFile("C:\\Prog2\\x.txt");
  in.fs.AddFile("C:\\Progx.txt");
  in.fs.AddFile("D:\\y.txt");
  in.fs.AddFile("C:\\secret.txt");
  in.manifest =
      "ProgramName=Horavex.KT\r\n[InstallFiles]\r\n\\..\\Prog2\\x.txt\r\nx.txt\r\nD:\\y.txt\r\n\\\\server\\share\\f\r\n"
      "\\Sub\\..\\..\\secret.txt\r\n\\...\\secret.txt\r\n[SettingsFiles]\r\n..\\secret.txt\r\n"
      "[TmpFiles]\r\n..\\secret.txt\r\nC:\\secret.txt\r\n";
  in.Run(RemovalMode::RemoveEverything);
  EXPECT_TRUE(in.Exists("C:\\Prog2\\x.txt"));
  EXPECT_TRUE(in.Exists("C:\\Progx.txt"));  // "x.txt" is the folder's own file, never the neighbour
  EXPECT_TRUE(in.Exists("D:\\y.txt"));
  EXPECT_TRUE(in.Exists("C:\\secret.txt"));
  EXPECT_EQ(in.progress.range, 6 + 1 + 2);
  EXPECT_GE(in.progress.steps, 9);

  // A program name that climbs out refuses the whole removal.
  Installation climbing;
  climbing.fs.AddFile("C:\\secret.exe");
  climbing.header.programName = "..\\secret";
  climbing.Run(RemovalMode::RemoveProgramFiles);
  EXPECT_TRUE(climbing.state.executableLocked);
  EXPECT_TRUE(climbing.Exists("C:\\secret.exe"));
}

TEST(RunRemoval, TheFolderWalkNeverEntersOrRemovesALink) {
  Installation in;
  in.fs.AddLink(kDir + "\\Data");
  in.fs.AddFolder(kDir + "\\Empty\\Deeper");
  in.Run(RemovalMode::RemoveEverything);
  EXPECT_TRUE(in.fs.FolderExists(kDir + "\\Data"));
  EXPECT_FALSE(in.fs.FolderExists(kDir + "\\Empty"));
  EXPECT_TRUE(in.fs.FolderExists(kDir));  // it still holds the link
}

TEST(RunRemoval, LinkFoldersThatStillHoldFilesAreNeitherLoggedNorCounted) {
  Installation in;
  in.fs.AddFile("C:\\Menu\\Horavex\\other.lnk");
  in.Run(RemovalMode::RemoveExternalSettings);
  EXPECT_TRUE(in.fs.FolderExists("C:\\Menu\\Horavex"));
  EXPECT_EQ(in.progress.steps, 1 + 2 + 1 + 1);  // one link, two registry entries, one temp file, autostart
}

TEST(CleanPatchRegistrations, RemovesGoneAndOwnEntriesAndRenumbersTheSurvivors) {
  MemoryRegistry reg;
  std::set<std::string> files{"C:\\a.exe", "C:\\b.exe", "C:\\Prog\\P.exe"};
  auto exists = [&](const std::string& p) { return files.count(p) > 0; };
  auto add = [&](int n, const std::string& exe, const std::string& name) {
    reg.WriteString(kCU, PatchEntryPath(n), "ExePatch", exe);
    reg.WriteString(kCU, PatchEntryPath(n), "Version", "1");
    reg.WriteString(kCU, PatchEntryPath(n), "ProgramName", name);
  };
  add(1, "C:\\gone.exe", "X");
  add(2, "C:\\b.exe", "B");
  add(3, "c:\\prog\\p.EXE", "p");
  reg.WriteDword(kCU, kPatchListKey, kPatchCountValue, 3);
  CleanPatchRegistrations(reg, exists, "C:\\Prog\\P.exe", "P", "1");
  EXPECT_EQ(reg.ReadDword(kCU, kPatchListKey, kPatchCountValue), 1u);
  EXPECT_EQ(reg.ReadString(kCU, PatchEntryPath(1), "ExePatch"), "C:\\b.exe");
  EXPECT_FALSE(reg.KeyExists(kCU, PatchEntryPath(2)));

  files.erase("C:\\b.exe");
  CleanPatchRegistrations(reg, exists, "C:\\Prog\\P.exe", "P", "1");
  EXPECT_FALSE(reg.KeyExists(kCU, kPatchListKey));
}

}  // namespace hx::uninstall
