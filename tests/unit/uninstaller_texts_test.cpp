#include <gtest/gtest.h>

#include "base/memory_registry.h"
#include "uninstaller/batch.h"
#include "tests/unit/memory_file_system.h"
#include "uninstaller/mini_reg.h"
#include "uninstaller/text_util.h"
#include "uninstaller/texts.h"

namespace hx::uninstall {

TEST(UninstallerTexts, LinesOverrideByExactNumberAndKeepTheRestOfTheLine) {
  UninstallerTexts t;
  EXPECT_EQ(t[9], "Далее >>");
  t.ApplyLanguageFile("10=Text\r\n5=\r\n 9=no\r\n58=no\r\n19=Removing \"%s %s\" \r\n19=later wins \r\n");
  EXPECT_EQ(t[10], "Text");
  EXPECT_EQ(t[1], "Программа удаления уже запущена!");
  EXPECT_EQ(t[5], "");
  EXPECT_EQ(t[9], "Далее >>");
  EXPECT_EQ(t[19], "later wins ");
  EXPECT_EQ(FillPlaceholders("Удаление \"%s %s\"", {"Horavex.KT", "1.0"}), "Удаление \"Horavex.KT 1.0\"");
}

class LanguageTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs;
  const std::string dir = "C:\\Prog";
  int asked = 0;
  std::optional<std::string> answer = std::string("German");
  LanguageChoice Choose(Stage stage) {
    return ChooseLanguage(fs, dir, stage, [this] {
      ++asked;
      return answer;
    });
  }
};

TEST_F(LanguageTest, AThirdLanguageFallsBackToEnglishAndThenToRussian) {
  fs.AddFile(dir + "\\Language\\English\\UnInstaller.txt", "9=Next >>\r\n21=Cancel\r\n");
  fs.AddFile(dir + "\\Language\\German\\UnInstaller.txt", "9=Weiter\r\n");
  const auto choice = Choose(Stage::Launch);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(choice.name, "German");
  EXPECT_EQ(choice.texts[9], "Weiter");
  EXPECT_EQ(choice.texts[21], "Cancel");
  EXPECT_EQ(choice.texts[20], "Выберите необходимое действие:");
  EXPECT_EQ(fs.ReadText(dir + "\\Settings\\UILangSettings.ini"), "Language=German\r\n");
  EXPECT_EQ(AvailableLanguages(fs, dir), (std::vector<std::string>{"Russian", "English", "German"}));

  // The removal stage takes the hand-over file without asking and deletes it.
  const auto removal = Choose(Stage::Removal);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(removal.texts[9], "Weiter");
  EXPECT_FALSE(fs.FileExists(dir + "\\Settings\\UILangSettings.ini"));
  EXPECT_EQ(Choose(Stage::Removal).name, "");
}

TEST_F(LanguageTest, WithoutLanguageFilesTheLaunchIsRussianWithoutAsking) {
  const auto choice = Choose(Stage::Launch);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(choice.name, "Russian");
  EXPECT_EQ(choice.texts[9], "Далее >>");
}

TEST_F(LanguageTest, TheUsersSettingWinsAndCancelWritesNothing) {
  fs.AddFile(dir + "\\Language\\English\\UnInstaller.txt", "9=Next >>\r\n");
  fs.AddFile(dir + "\\Settings\\ULangSettings.ini", "[Main]\r\nlanguage=English\r\nLanguage=German\r\n");
  EXPECT_EQ(Choose(Stage::Launch).texts[9], "Next >>");
  EXPECT_EQ(asked, 0);

  fs.RemoveFile(dir + "\\Settings\\ULangSettings.ini");
  fs.RemoveFile(dir + "\\Settings\\UILangSettings.ini");
  answer.reset();
  EXPECT_TRUE(Choose(Stage::Launch).cancelled);
  EXPECT_FALSE(fs.FileExists(dir + "\\Settings\\UILangSettings.ini"));
}

TEST(MiniReg, PathsSplitAtTheLastBackslash) {
  EXPECT_FALSE(SplitRegistryPath("NoBackslash"));
  const auto v = SplitRegistryPath("Software\\A\\Value");
  EXPECT_EQ(v->key, "Software\\A");
  EXPECT_EQ(v->name, "Value");
  const auto k = SplitRegistryPath("Software\\A\\");
  EXPECT_EQ(k->key, "Software\\A");
  EXPECT_EQ(k->name, "");

  MemoryRegistry reg;
  MiniReg mini(reg);
  const auto cu = RegistryRoot::CurrentUser;
  EXPECT_TRUE(mini.PathWriteString(cu, "Software\\A\\B\\V", "x"));
  EXPECT_TRUE(mini.PathWriteInteger(cu, "Software\\A\\N", 7));
  EXPECT_EQ(mini.PathReadInteger(cu, "Software\\A\\N"), 7u);
  EXPECT_EQ(mini.PathReadString(cu, "Software\\A\\B\\V"), "x");
  EXPECT_FALSE(mini.PathReadString(cu, "Software\\A\\N"));  // wrong type
  EXPECT_FALSE(mini.PathDeleteKey(cu, "Software\\A\\"));    // still has subkey B
  EXPECT_FALSE(mini.PathDeleteKey(cu, "\\"));
  EXPECT_FALSE(mini.PathWriteString(cu, "V", "x"));
  EXPECT_TRUE(mini.PathDeleteKey(cu, "Software\\A\\B"));
  EXPECT_TRUE(mini.PathKeyExists(cu, "Software\\A\\"));
  EXPECT_TRUE(mini.PathDeleteValue(cu, "Software\\A\\N"));
  EXPECT_TRUE(mini.PathDeleteKey(cu, "Software\\A\\"));
  EXPECT_FALSE(reg.KeyExists(cu, "Software\\A"));
}

TEST(BatchText, PercentSignsAreDoubledAndAnEarlierBatchStaysLast) {
  EXPECT_EQ(EraseLine("C:\\a%PATH%b.txt"), "Erase \"C:\\a%%PATH%%b.txt\"");
  EXPECT_EQ(RebootBatchContent("Erase \"C:\\x\"", true, "C:\\T\\U.exe", std::nullopt, "C:\\T\\reboot_U.bat"),
            "Erase \"C:\\x\"\r\nErase \"C:\\T\\U.exe\"\r\nErase \"C:\\T\\reboot_U.bat\"\r\n");
  EXPECT_EQ(RebootBatchContent("Erase \"C:\\y\"", false, "C:\\T\\U.exe",
                               std::string("Erase \"C:\\x\"\r\nErase \"C:\\T\\reboot_U.bat\"\r\n"), "C:\\T\\reboot_U.bat"),
            "Erase \"C:\\y\"\r\nErase \"C:\\x\"\r\nErase \"C:\\T\\reboot_U.bat\"\r\n");
  const std::string self = SelfDeleteBatchContent("C:\\T\\U%1.exe", "C:\\T\\U%1.bat");
  EXPECT_NE(self.find("Erase \"C:\\T\\U%%1.exe\""), std::string::npos);
  EXPECT_EQ(self.substr(self.size() - 23), "Erase \"C:\\T\\U%%1.bat\"\r\n");
}

TEST(BatchText, ElapsedTimeAndTheTempFolder) {
  EXPECT_EQ(FormatElapsed(0), "00:00:00");
  EXPECT_EQ(FormatElapsed(3723999), "01:02:03");
  EXPECT_EQ(FormatElapsed(100u * 3600000u), "100:00:00");
  EXPECT_EQ(TempFolderFromEnvironment({"TEMPLATE=C:\\Tpl", "temp=C:\\T1", "TMP=C:\\T2", "TEMPDIR=x"}), "C:\\T1");
  EXPECT_EQ(TempFolderFromEnvironment({"TEMPLATE=C:\\Tpl", "=C:=C:\\"}), "C:/Temp");
}

TEST(Paths, DriveRootsAndContainedEntries) {
  for (const char* root : {"C:", "C:\\", "c:/", "\\", "\\\\server\\share", "\\\\server\\share\\", "\\\\?\\C:\\",
                           "\\\\?\\UNC\\server\\share"})
    EXPECT_TRUE(IsDriveRoot(root)) << root;
  for (const char* folder : {"C:\\Prog", "\\\\server\\share\\Prog", "\\\\?\\C:\\Prog"})
    EXPECT_FALSE(IsDriveRoot(folder)) << folder;
  for (const char* ok : {"a.txt", "\\Sub\\a.txt", "Sub/../a.txt", ".\\a.txt", "\\Sub\\.hidden", ""})
    EXPECT_TRUE(IsContainedRelativePath(ok)) << ok;
  for (const char* bad : {"..\\a", "\\..\\a", "Sub\\..\\..\\a", "C:\\a", "C:a", "\\\\srv\\s\\a", "//srv/s/a", "\\...\\a",
                          "\\.. \\a", "a.txt:stream", "\\Help.\\a", "\\Help \\a"})
    EXPECT_FALSE(IsContainedRelativePath(bad)) << bad;
  EXPECT_EQ(ContainedNames("\\Sub\\.\\..\\Help\\index.htm "), (std::vector<std::string>{"Help", "index.htm "}));
  for (const char* full : {"C:\\a.lnk", "c:/Menu/", "\\\\srv\\share\\a.lnk", "\\\\?\\C:\\a", "\\\\?\\UNC\\srv\\share\\a"})
    EXPECT_TRUE(IsAbsolutePath(full)) << full;
  for (const char* relative : {"a.lnk", "Desktop\\a.lnk", "\\Desktop\\a.lnk", "C:a.lnk", "C:", "\\\\srv", "\\\\srv\\",
                               "\\\\.\\PhysicalDrive0", "\\\\?\\UNC\\srv", ""})
    EXPECT_FALSE(IsAbsolutePath(relative)) << relative;
  EXPECT_EQ(WithExtension("C:\\T\\Unwinder.KT.exe", ".bat"), "C:\\T\\Unwinder.KT.bat");
}

}  // namespace hx::uninstall
