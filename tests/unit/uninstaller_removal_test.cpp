#include "uninstaller/removal.h"

#include <gtest/gtest.h>

#include <set>

#include "base/memory_registry.h"
#include "uninstaller/memory_file_system.h"

namespace hx::uninstall {
namespace {

constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
const std::string kDir = "C:\\Prog";
const std::string kTemp = "C:\\Temp";

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

  void Run(RemovalMode mode) {
    RemovalLists lists;
    ParseManifestLists(manifest, ListPassFor(mode), header, lists);
    RemovalContext context{fs, reg, progress, texts, kDir, kTemp, [this](const std::string& p) { return fs.FileExists(p); }};
    RunRemoval(mode, header, lists, context, state);
  }
};

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
  lower.manifest += "";
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

TEST(RunRemoval, ALockedFileIsStepppedScheduledAndAsksForARestart) {
  Installation in;
  in.fs.Lock(kDir + "\\Settings\\HXSettings.ini");
  in.Run(RemovalMode::ResetSettings);
  EXPECT_TRUE(in.state.rebootRequired);
  EXPECT_EQ(in.state.rebootBatchText, "Erase \"C:\\Prog\\Settings\\HXSettings.ini\"");
  for (const auto& line : in.progress.log) EXPECT_EQ(line.find("HXSettings"), std::string::npos);
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
