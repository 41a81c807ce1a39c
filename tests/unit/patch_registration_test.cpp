#include "core/patch_registration.h"

#include <gtest/gtest.h>

#include <set>

#include "base/memory_registry.h"

namespace hx {
namespace {

constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr char kExe[] = "C:\\Program Files\\Horavex.KT\\Horavex.KT.exe";

struct Fixture {
  MemoryRegistry reg;
  std::set<std::string> files{kExe};
  FileExistsFn exists = [this](const std::string& p) { return files.count(p) > 0; };

  void AddEntry(long long n, const std::string& exe, const std::string& version = "1.0", const std::string& name = "Other") {
    reg.WriteString(kCU, PatchEntryPath(n), "ExePatch", exe);
    reg.WriteString(kCU, PatchEntryPath(n), "Version", version);
    reg.WriteString(kCU, PatchEntryPath(n), "ProgramName", name);
  }
  void SetCount(uint32_t n) { reg.WriteDword(kCU, kPatchListKey, kPatchCountValue, n); }
  std::optional<uint32_t> Count() { return reg.ReadDword(kCU, kPatchListKey, kPatchCountValue); }
  std::string Exe(long long n) { return reg.ReadString(kCU, PatchEntryPath(n), "ExePatch").value_or("<none>"); }
  void Register(bool remove = false, const std::string& exe = kExe) {
    RegisterPatch(reg, remove, "Horavex.KT", "1.0.1.2k.ru", exe, exists);
  }
};

}  // namespace

TEST(RegisterPatch, FirstStartCreatesEntryOneAndASecondStartChangesNothing) {
  Fixture f;
  f.Register();
  EXPECT_EQ(f.Count(), 1u);
  EXPECT_EQ(f.Exe(1), kExe);
  EXPECT_EQ(f.reg.ReadString(kCU, PatchEntryPath(1), "Version"), "1.0.1.2k.ru");
  EXPECT_EQ(f.reg.ReadString(kCU, PatchEntryPath(1), "ProgramName"), "Horavex.KT");

  f.Register(false, "c:\\PROGRAM FILES\\horavex.kt\\HORAVEX.KT.EXE");  // same file, other case
  EXPECT_EQ(f.Count(), 1u);
  EXPECT_FALSE(f.reg.KeyExists(kCU, PatchEntryPath(2)));
}

TEST(RegisterPatch, EntriesOfVanishedProgramsGoAndTheRestCloseUp) {
  Fixture f;
  f.files.insert({"C:\\a.exe", "C:\\c.exe"});
  f.AddEntry(1, "C:\\a.exe");
  f.AddEntry(2, "C:\\gone.exe");
  f.AddEntry(3, "C:\\c.exe");
  f.AddEntry(4, "");  // no path at all counts as gone
  f.SetCount(4);
  f.Register();
  EXPECT_EQ(f.Count(), 3u);
  EXPECT_EQ(f.Exe(1), "C:\\a.exe");
  EXPECT_EQ(f.Exe(2), "C:\\c.exe");
  EXPECT_EQ(f.reg.ReadString(kCU, PatchEntryPath(2), "ProgramName"), "Other");
  EXPECT_EQ(f.Exe(3), kExe);
  EXPECT_FALSE(f.reg.KeyExists(kCU, PatchEntryPath(4)));
}

TEST(RegisterPatch, AMovedProgramReplacesItsOldEntryAtTheEnd) {
  Fixture f;
  f.files.insert("C:\\a.exe");
  f.AddEntry(1, "D:\\Old\\Horavex.KT.exe", "1.0.1.2k.ru", "Horavex.KT");
  f.AddEntry(2, "C:\\a.exe");
  f.SetCount(2);
  f.Register();
  EXPECT_EQ(f.Count(), 2u);
  EXPECT_EQ(f.Exe(1), "C:\\a.exe");
  EXPECT_EQ(f.Exe(2), kExe);
}

TEST(RegisterPatch, AListWithoutCountIsRebuiltWithTheProgramAlone) {
  Fixture f;
  f.AddEntry(1, kExe, "1.0.1.2k.ru", "Horavex.KT");
  f.reg.WriteString(kCU, PatchEntryPath(1) + "\\Deeper", "x", "y");
  f.Register();
  EXPECT_EQ(f.Count(), 1u);
  EXPECT_EQ(f.Exe(1), kExe);
  EXPECT_FALSE(f.reg.KeyExists(kCU, PatchEntryPath(1) + "\\Deeper"));
}

TEST(RegisterPatch, RemoveDeletesOnlyTheOwnEntryAndAnEmptyListKey) {
  Fixture f;
  f.files.insert("C:\\a.exe");
  f.AddEntry(1, kExe, "1.0.1.2k.ru", "Horavex.KT");
  f.AddEntry(2, "C:\\a.exe");
  f.SetCount(2);
  f.Register(true);
  EXPECT_EQ(f.Count(), 1u);
  EXPECT_EQ(f.Exe(1), "C:\\a.exe");
  f.files.erase("C:\\a.exe");
  f.Register(true);
  EXPECT_FALSE(f.reg.KeyExists(kCU, kPatchListKey));
  EXPECT_TRUE(f.reg.KeyExists(kCU, kPatchParentKey));
}

TEST(RegisterPatch, AHugeDamagedCountEndsQuicklyWithTheRightList) {
  Fixture f;
  f.files.insert("C:\\a.exe");
  f.AddEntry(1, "C:\\a.exe");
  f.SetCount(4000000000u);
  // A number with a leading zero is no entry of the list and sets no limit.
  f.reg.CreateKey(kCU, std::string(kPatchListKey) + "\\AutoInstallPatch0999999999");
  f.Register();
  EXPECT_EQ(f.Count(), 2u);
  EXPECT_EQ(f.Exe(1), "C:\\a.exe");
  EXPECT_EQ(f.Exe(2), kExe);
}

TEST(RegisterPatch, ARefusingRegistryThrowsForTheCallerToReport) {
  Fixture f;
  f.reg.SetReadOnly(kCU, true);
  EXPECT_ANY_THROW(f.Register());
}

TEST(PatchTextEquals, IgnoresLatinAndCyrillicCase) {
  EXPECT_TRUE(PatchTextEquals("C:\\Программы\\A.exe", "c:\\пРОГРАММЫ\\a.EXE"));
  EXPECT_TRUE(PatchTextEquals("Ёлка", "ёЛКА"));
  EXPECT_FALSE(PatchTextEquals("C:\\a.exe", "C:\\a.ex"));
}

}  // namespace hx
