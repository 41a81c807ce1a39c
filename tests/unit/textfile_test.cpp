#include "base/textfile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "base/errors.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace hx {
namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("hx_textfile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string RawBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_;
};

TEST_F(TextFileTest, WritesCp1251AndReadsBackUtf8) {
  const fs::path file = dir_ / "a.ini";
  WriteTextFileAtomically(file, "Имя=Дата\r\n");
  EXPECT_EQ(RawBytes(file), "\xC8\xEC\xFF=\xC4\xE0\xF2\xE0\r\n");
  EXPECT_EQ(ReadTextFile(file), "Имя=Дата\r\n");
}

TEST_F(TextFileTest, AtomicWriteReplacesAnExistingFileAndLeavesNoTemporary) {
  const fs::path file = dir_ / "s.ini";
  WriteTextFileAtomically(file, "old content that is longer\r\n");
  WriteTextFileAtomically(file, "new\r\n");
  EXPECT_EQ(ReadTextFile(file), "new\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TextFileTest, MissingFileReadsAsNothingAndMissingFolderFailsToWrite) {
  EXPECT_FALSE(ReadTextFile(dir_ / "none.ini").has_value());
  EXPECT_THROW(WriteTextFileAtomically(dir_ / "no" / "such" / "x.ini", "x"), FileError);
}

#ifndef _WIN32
// A disk that fills up while the replacement is written: the old file stays
// as it was and no temporary file is left. A file size limit stands in for
// the full disk.
TEST_F(TextFileTest, FullDiskKeepsTheOldFileAndLeavesNoTemporary) {
  const fs::path file = dir_ / "s.ini";
  WriteTextFileAtomically(file, "old\r\n");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 16;
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(WriteTextFileAtomically(file, std::string(100, 'x')), FileError);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadTextFile(file), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}
#endif

TEST_F(TextFileTest, AppendKeepsEarlierText) {
  const fs::path file = dir_ / "log";
  AppendTextFile(file, "one\r\n");
  AppendTextFile(file, "два\r\n");
  EXPECT_EQ(SplitLines(*ReadTextFile(file)), (std::vector<std::string>{"one", "два"}));
}

}  // namespace hx

namespace hx {

TEST_F(TextFileTest, CopyReplacesAnExistingTarget) {
  WriteTextFileAtomically(dir_ / "from.ini", "new");
  WriteTextFileAtomically(dir_ / "to.ini", "old and longer");
  CopyFileReplacing(dir_ / "from.ini", dir_ / "to.ini");
  EXPECT_EQ(ReadTextFile(dir_ / "to.ini"), "new");
  EXPECT_THROW(CopyFileReplacing(dir_ / "missing.ini", dir_ / "to.ini"), FileError);
}

}  // namespace hx
