#include "core/error_log.h"

#include <gtest/gtest.h>

#include "base/textfile.h"

namespace hx {

TEST(ErrorRecord, HasNineLinesInTheLogFormat) {
  ErrorRecord r;
  r.when = {2026, 3, 7, 9, 5, 1, 0, 6};
  r.winVersion = "5.1.2600";
  r.user = "Иван";
  r.computer = "A-VERY-LONG-COMPUTER-NAME";
  r.code = "1.001 - 014.0";
  r.type = "hx::FileError";
  const auto lines = SplitLines(FormatErrorRecord(r));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], std::string(73, '='));
  EXPECT_EQ(lines[1], "09:05:01 [03/07/2026]");
  EXPECT_EQ(lines[2], "Program = Horavex.KT 1.0.1.2k.ru");
  EXPECT_EQ(lines[3], "WinVersion = 5.1.2600");
  EXPECT_EQ(lines[4], "User = Иван");
  EXPECT_EQ(lines[5], "PC = A-VERY-LONG-COM");
  EXPECT_EQ(lines[6], "Adress = 1.001 - 014.0");
  EXPECT_EQ(lines[7], "Type = hx::FileError");
  EXPECT_EQ(lines[8], "Dump = \"\"");
}

// The computer name is cut to 15 characters, never inside one.
TEST(ErrorRecord, ComputerNameKeepsFifteenWholeCharacters) {
  ErrorRecord r;
  r.computer = "БУХГАЛТЕРИЯ-ГЛАВНАЯ";
  EXPECT_EQ(SplitLines(FormatErrorRecord(r))[5], "PC = БУХГАЛТЕРИЯ-ГЛА");
  r.computer = "ПК-1";
  EXPECT_EQ(SplitLines(FormatErrorRecord(r))[5], "PC = ПК-1");
}

TEST(ErrorRecord, MissingNamesReadNa) {
  const auto lines = SplitLines(FormatErrorRecord({}));
  EXPECT_EQ(lines[3], "WinVersion = n/a");
  EXPECT_EQ(lines[4], "User = n/a");
  EXPECT_EQ(lines[5], "PC = n/a");
}

TEST(ErrorRecord, CodeCaptionHasNoSpaceBeforeTheType) {
  EXPECT_EQ(ErrorCodeCaption("1.001 - 012.0", "EAccessViolation"),
            "Внутренний код ошибки: 1.001 - 012.0[EAccessViolation]");
}

}  // namespace hx
