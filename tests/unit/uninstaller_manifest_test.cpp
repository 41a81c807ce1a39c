#include "uninstaller/manifest.h"

#include <gtest/gtest.h>

#include "tests/unit/memory_file_system.h"

namespace hx::uninstall {

TEST(ManifestHeader, KeysCountOnlyInThePreambleWithAsciiCaseIgnoredAndUntrimmed) {
  ManifestHeader h;
  h.formClass = "Earlier";
  EXPECT_TRUE(ParseManifestHeader("programname=Horavex.KT\r\nPROGRAMVERS= 1.0 \r\n[Links]\r\nFormClass=X\r\n", h));
  EXPECT_EQ(h.programName, "Horavex.KT");
  EXPECT_EQ(h.programVers, " 1.0 ");
  EXPECT_EQ(h.formClass, "Earlier");  // the class keeps an earlier value; the entry is no key

  ManifestHeader late;
  EXPECT_FALSE(ParseManifestHeader("ProgramName=A\r\nProgramVers=1\r\n[RegSet]\r\nFormClass=TFormHoravex\r\n", late));
  EXPECT_EQ(late.formClass, "");
}

TEST(ManifestHeader, EmptyValuesKeepTheEarlierAndTheFirstCompleteSetWins) {
  ManifestHeader h;
  EXPECT_TRUE(ParseManifestHeader(
      "ProgramName=A\r\nProgramName=\r\nProgramVers=1\r\nFormClass=F\r\nProgramName=B\r\n", h));
  EXPECT_EQ(h.programName, "A");
  h.programName = "stale";
  EXPECT_FALSE(ParseManifestHeader("", h));  // name and version are cleared on every read
  EXPECT_EQ(h.programName, "");
}

TEST(ManifestLists, SectionsAccumulateHeadersMatchWholeLinesAndEntriesStayVerbatim) {
  const std::string text =
      "ProgramName=P\r\nAutoRunName=Run1\r\n"
      "[installfiles]\r\n\\a.txt\r\n [InstallFiles]\r\n"
      "[TmpFiles]\r\nt1\r\n\r\n[Other]\r\n"
      "[ComponentsFiles]\r\n\\comp.dll\r\n"
      "[INSTALLFILES]\r\nb.txt\r\n"
      "[SettingsFiles]\r\n\\Settings\\S.ini\r\n"
      "[Links]\r\nC:\\Desktop\\P.lnk\r\n"
      "[RegSet]\r\nHKEY_CURRENT_USER\\Software\\P\\\r\nAutoRunName=NotAKey";
  ManifestHeader h;
  RemovalLists all;
  ParseManifestLists(text, ListPassFor(RemovalMode::RemoveEverything), h, all);
  EXPECT_EQ(h.autoRunName, "Run1");
  EXPECT_EQ(all.install, (std::vector<std::string>{"\\a.txt", " [InstallFiles]", "\\comp.dll", "b.txt"}));
  EXPECT_EQ(all.temporary, (std::vector<std::string>{"t1", "", "[Other]"}));
  EXPECT_EQ(all.settings, (std::vector<std::string>{"\\Settings\\S.ini"}));
  EXPECT_EQ(all.links, (std::vector<std::string>{"C:\\Desktop\\P.lnk"}));
  EXPECT_EQ(all.registry, (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\P\\", "AutoRunName=NotAKey"}));

  RemovalLists program;
  ParseManifestLists(text, ListPassFor(RemovalMode::RemoveProgramFiles), h, program);
  EXPECT_EQ(program.install, (std::vector<std::string>{"\\a.txt", " [InstallFiles]", "b.txt"}));

  for (RemovalMode mode : {RemovalMode::RemoveExternalSettings, RemovalMode::ResetSettings}) {
    RemovalLists outer;
    outer.install = {"left over"};
    ParseManifestLists(text, ListPassFor(mode), h, outer);
    EXPECT_TRUE(outer.install.empty());
    EXPECT_EQ(outer.settings.size(), 1u);
    EXPECT_EQ(outer.registry.size(), 2u);
  }
}

TEST(ManifestLines, OnlyCrLfEndsALineAndAFinalCrLfAddsNoLine) {
  ManifestHeader h;
  RemovalLists l;
  ParseManifestLists("[TmpFiles]\r\na\nb\r\n\r\n", ListPassFor(RemovalMode::ResetSettings), h, l);
  EXPECT_EQ(l.temporary, (std::vector<std::string>{"a\nb", ""}));
}

class PrepareManifestTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs;
  const std::string dir = "C:\\Prog";
};

TEST_F(PrepareManifestTest, GeneratesFromTheTemplateListingTheFolderButNotTheTemplate) {
  fs.AddFile(dir + "\\a.txt");
  fs.AddFile(dir + "\\Sub\\b.txt");
  fs.AddFolder(dir + "\\Empty");
  fs.AddLink(dir + "\\Elsewhere");
  fs.AddFile(dir + "\\Resource\\InstallFiles_Uninstall.ini", "ProgramName=P\r\n\r\n[RegSet]\r\nHKEY_CURRENT_USER\\X\\\r\n");
  fs.AddFile(dir + "\\Resource\\Uninstall.ini", "old");
  EXPECT_EQ(PrepareManifest(fs, dir), ManifestState::Generated);
  EXPECT_EQ(fs.ReadText(dir + "\\Resource\\Uninstall.ini"),
            "ProgramName=P\r\n\r\n[RegSet]\r\nHKEY_CURRENT_USER\\X\\\r\n[InstallFiles]\r\n"
            "a.txt\r\n\\Resource\\Uninstall.ini\r\n\\Sub\\b.txt\r\n");
  EXPECT_TRUE(fs.FileExists(dir + "\\Resource\\InstallFiles_Uninstall.ini"));  // every start regenerates
}

TEST_F(PrepareManifestTest, EmptyTemplateGivesAnEmptyFirstLine) {
  fs.AddFile(dir + "\\Resource\\InstallFiles_Uninstall.ini", "");
  EXPECT_EQ(PrepareManifest(fs, dir), ManifestState::Generated);
  EXPECT_EQ(fs.ReadText(dir + "\\Resource\\Uninstall.ini"), "\r\n[InstallFiles]\r\n\\Resource\\Uninstall.ini\r\n");
}

TEST_F(PrepareManifestTest, ReadyMissingAndUnwritable) {
  EXPECT_EQ(PrepareManifest(fs, dir), ManifestState::Missing);
  fs.AddFile(dir + "\\Resource\\Uninstall.ini", "x");
  EXPECT_EQ(PrepareManifest(fs, dir), ManifestState::Ready);
  fs.AddFile(dir + "\\Resource\\InstallFiles_Uninstall.ini", "T");
  fs.SetReadOnly(true);
  EXPECT_EQ(PrepareManifest(fs, dir), ManifestState::WriteFailed);
}

}  // namespace hx::uninstall
