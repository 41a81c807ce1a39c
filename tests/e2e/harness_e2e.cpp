// The harness's own promises: a step that cannot be done fails the test,
// and nothing of a step outlives it.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace hx::e2e {
namespace {

TEST(HarnessTest, AStepThatCannotBeDoneFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(Process(BuiltProgramFolder() / "missing.exe"), "cannot start");
  EXPECT_NONFATAL_FAILURE(TopWindows(L"TFormClocks", 0), "without a process");
  EXPECT_NONFATAL_FAILURE(PressButton(nullptr, "OK"), "no button");
  EXPECT_NONFATAL_FAILURE(Xdo(L"no-such-command"), "xdotool");
}

TEST(HarnessTest, AShellCommandThatDoesNotEndInTimeIsKilled) {
  const std::wstring sleep = L"/bin/sleep " + std::to_wstring(1000000 + GetCurrentProcessId());
  EXPECT_EQ(RunUnix(sleep + L" | /bin/cat", 1s), -1);
  EXPECT_EQ(RunUnix(L"/usr/bin/pgrep -f '^" + sleep + L"'"), 1) << "the late command still runs";
}

}  // namespace
}  // namespace hx::e2e
