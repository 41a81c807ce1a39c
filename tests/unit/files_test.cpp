#include "base/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "base/errors.h"
#include "base/held_file_retry.h"
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

// A file held by another program for a number of tries, then free (or
// refused for good): the operation is tried again after growing pauses that
// never add up to more than the limit.
TEST(HeldFileRetry, TriesAgainWhileHeldWithGrowingPausesUpToTheLimit) {
  using files::TryResult;
  struct Row {
    int heldTries;         // tries refused because the file is held
    TryResult afterwards;  // what the next try gives
    bool done;
    int tries;
    int waitedMs;
  };
  const Row rows[] = {
      {0, TryResult::Done, true, 1, 0},                // free at once: no pause
      {3, TryResult::Done, true, 4, 10 + 20 + 40},     // held for a moment
      {7, TryResult::Done, true, 8, 1270},             // the pauses double
      {8, TryResult::Done, true, 9, 2000},             // the last pause is what is left
      {9, TryResult::Done, false, 9, 2000},            // held longer: given up at the limit
      {1000, TryResult::Done, false, 9, 2000},
      {0, TryResult::Failed, false, 1, 0},             // refused for another reason: no retry
      {2, TryResult::Failed, false, 3, 30},
  };
  for (const Row& row : rows) {
    int tries = 0, waited = 0;
    std::vector<int> pauses;
    const bool done = files::RetryWhileHeld(
        [&] { return tries++ < row.heldTries ? TryResult::Held : row.afterwards; },
        [&](int ms) {
          pauses.push_back(ms);
          waited += ms;
        });
    SCOPED_TRACE(row.heldTries);
    EXPECT_EQ(done, row.done);
    EXPECT_EQ(tries, row.tries);
    EXPECT_EQ(waited, row.waitedMs);
    for (size_t k = 1; k + 1 < pauses.size(); ++k) EXPECT_EQ(pauses[k], 2 * pauses[k - 1]);
  }
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
