#include "base/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "base/errors.h"
#include "base/path.h"
#include "base/textfile.h"

namespace hx {
namespace fs = std::filesystem;

TEST(Path, JoinsNamesAndFindsTheFolder) {
  const char s = Path::kSeparator;
  const Path folder = Path("root") / "Settings";
  EXPECT_EQ(folder.utf8(), std::string("root") + s + "Settings");
  EXPECT_EQ((Path(std::string("root") + s) / "a").utf8(), std::string("root") + s + "a");  // no doubled separator
  EXPECT_EQ((Path() / "a").utf8(), "a");
  EXPECT_EQ((folder / "x.ini").parent_path(), folder);
  EXPECT_EQ(Path(folder.utf8() + s).parent_path(), Path("root"));  // a trailing separator names the same folder
  EXPECT_EQ(Path("name").parent_path(), Path());
  Path temporary = folder / "x.ini";
  temporary += ".new";
  EXPECT_EQ(temporary.utf8(), folder.utf8() + s + "x.ini.new");
#ifdef _WIN32
  EXPECT_EQ(Path("C:\\Program Files\\Horavex.KT.exe").parent_path(), Path("C:\\Program Files"));
  EXPECT_EQ(Path("C:\\Horavex.KT.exe").parent_path(), Path("C:\\"));
  EXPECT_EQ(Path("C:/a/b").parent_path(), Path("C:/a"));
  EXPECT_EQ(Path("C:\\Папка").wstring(), L"C:\\Папка");
#else
  EXPECT_EQ(Path("/a").parent_path(), Path("/"));
#endif
}

namespace {
struct LocalFailure : std::exception {};
template <class T>
struct TemplateFailure : std::exception {};
}  // namespace

TEST(ExceptionTypeName, GivesTheSourceNameOfTheClass) {
  EXPECT_EQ(ExceptionTypeName(typeid(FileError)), "hx::FileError");
  EXPECT_EQ(ExceptionTypeName(typeid(RegistryError)), "hx::RegistryError");
  EXPECT_EQ(ExceptionTypeName(typeid(std::runtime_error)), "std::runtime_error");
  EXPECT_EQ(ExceptionTypeName(typeid(std::bad_alloc)), "std::bad_alloc");
  EXPECT_EQ(ExceptionTypeName(typeid(fs::filesystem_error)).rfind("std::", 0), 0u);
  EXPECT_EQ(ExceptionTypeName(typeid(LocalFailure)), "hx::(anonymous namespace)::LocalFailure");
  // A name this does not read comes back as the compiler gives it.
  EXPECT_EQ(ExceptionTypeName(typeid(TemplateFailure<int>)), typeid(TemplateFailure<int>).name());
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("hx_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  Path At(const char* name) const { return Path(dir_) / name; }

  fs::path dir_;
};

TEST_F(FilesTest, CreatesNestedFoldersAndTellsFilesFromFolders) {
  const Path deep = At("a") / "б" / "c";
  EXPECT_TRUE(files::CreateFolders(deep));
  EXPECT_TRUE(files::CreateFolders(deep));  // already there
  EXPECT_TRUE(files::Exists(deep));
  EXPECT_FALSE(files::IsFile(deep));
  WriteTextFileAtomically(deep / "f.ini", "x");
  EXPECT_TRUE(files::IsFile(deep / "f.ini"));
  EXPECT_FALSE(files::CreateFolders(deep / "f.ini"));  // a file of that name is in the way
  EXPECT_FALSE(files::CreateFolders(deep / "f.ini" / "sub"));
  EXPECT_THROW(CreateFolders(deep / "f.ini" / "sub"), FileError);
}

TEST_F(FilesTest, RemovesFilesAndOnlyEmptyFolders) {
  files::CreateFolders(At("full"));
  WriteTextFileAtomically(At("full") / "f", "x");
  EXPECT_FALSE(files::Remove(At("full")));
  EXPECT_TRUE(files::Exists(At("full") / "f"));
  EXPECT_THROW(RemoveIfPresent(At("full")), FileError);
  EXPECT_TRUE(files::Remove(At("full") / "f"));
  EXPECT_TRUE(files::Remove(At("full")));
  EXPECT_FALSE(files::Exists(At("full")));
  EXPECT_FALSE(files::Remove(At("full")));
  EXPECT_NO_THROW(RemoveIfPresent(At("full")));
}

TEST_F(FilesTest, RenameReplacesAndReadStopsAtItsLimit) {
  WriteTextFileAtomically(At("log"), "new text");
  WriteTextFileAtomically(At("sent"), "old");
  RenameReplacing(At("log"), At("sent"));
  EXPECT_FALSE(files::Exists(At("log")));
  EXPECT_EQ(files::ReadBytes(At("sent")), "new text");
  EXPECT_EQ(files::ReadBytes(At("sent"), 3), "new");
  EXPECT_FALSE(files::ReadBytes(At("missing")).has_value());
  EXPECT_THROW(RenameReplacing(At("missing"), At("sent")), FileError);
}

}  // namespace hx
