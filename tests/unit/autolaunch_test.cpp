#include "core/autolaunch.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/memory_registry.h"

namespace hx {
namespace {

constexpr char kExe[] = "C:\\Program Files\\Horavex.KT\\Horavex.KT.exe";
constexpr char kOld[] = "D:\\Old\\Horavex.KT.exe";  // left by an earlier installation
constexpr char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr auto kAll = RegistryRoot::LocalMachine;
constexpr auto kMe = RegistryRoot::CurrentUser;

// The Run key of one root as a list of "name=data", so that a value under
// another name or with other data shows.
std::vector<std::string> RunValues(MemoryRegistry& reg, RegistryRoot root) {
  std::vector<std::string> values;
  for (const std::string& name : reg.ValueNames(root, kRun))
    values.push_back(name + "=" + reg.ReadString(root, kRun, name).value_or("?"));
  return values;
}

using Values = std::vector<std::string>;
const Values kNone;
const Values kNew = {std::string("Horavex=") + kExe};
const Values kStale = {std::string("Horavex=") + kOld};

}  // namespace

// Each AutoLaunch choice, with and without write access to either root,
// starting from values left in either: what is in the Run keys afterwards
// and what the caller is told.
TEST(ApplyAutoLaunch, LeavesTheValueWhereItsChoiceSaysOrFallsBackToThisUser) {
  struct Row {
    const char* what;
    int autoLaunch;
    bool allReadOnly, meReadOnly;
    Values allBefore, meBefore;
    Values allAfter, meAfter;
    int outcome;
    bool warn;
  };
  const Row rows[] = {
      {"none: both go", 0, false, false, kStale, kStale, kNone, kNone, 0, false},
      {"all users: written there, this user's goes", 1, false, false, kStale, kStale, kNew, kNone, 1, false},
      {"this user: written there, the shared one goes", 2, false, false, kStale, kStale, kNone, kNew, 2, false},
      {"all users without access: this user instead", 1, true, false, kNone, kNone, kNone, kNew, 2, true},
      {"... with a stale shared value it cannot remove", 1, true, false, kStale, kNone, kStale, kNew, 2, true},
      {"this user without access to a shared key that has none", 2, true, false, kNone, kStale, kNone, kNew, 2, false},
      {"this user, a shared value it cannot remove", 2, true, false, kStale, kNone, kStale, kNew, 2, true},
      {"none, a shared value it cannot remove", 0, true, false, kStale, kStale, kStale, kNone, 0, false},
      {"none, nothing to remove anywhere", 0, true, true, kNone, kNone, kNone, kNone, 0, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MemoryRegistry reg;
    for (const auto& [root, before] : {std::pair{kAll, r.allBefore}, std::pair{kMe, r.meBefore}})
      if (!before.empty()) reg.WriteString(root, kRun, "Horavex", kOld);
    reg.SetReadOnly(kAll, r.allReadOnly);
    reg.SetReadOnly(kMe, r.meReadOnly);
    const AutoLaunchOutcome out = ApplyAutoLaunch(reg, r.autoLaunch, kExe);
    EXPECT_EQ(out.autoLaunch, r.outcome);
    EXPECT_EQ(out.warnUser, r.warn);
    EXPECT_EQ(RunValues(reg, kAll), r.allAfter);
    EXPECT_EQ(RunValues(reg, kMe), r.meAfter);
  }
}

TEST(ApplyAutoLaunch, AFallbackThatFailsTooIsReportedAndWritesNothing) {
  struct Row { const char* what; int autoLaunch; Values meBefore; };
  const Row rows[] = {{"all users", 1, kNone}, {"this user", 2, kNone}, {"none, this user's value stays", 0, kStale}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MemoryRegistry reg;
    if (!r.meBefore.empty()) reg.WriteString(kMe, kRun, "Horavex", kOld);
    reg.SetReadOnly(kAll, true);
    reg.SetReadOnly(kMe, true);
    EXPECT_THROW(ApplyAutoLaunch(reg, r.autoLaunch, kExe), RegistryError);
    EXPECT_EQ(RunValues(reg, kAll), kNone);
    EXPECT_EQ(RunValues(reg, kMe), r.meBefore);
  }
}

}  // namespace hx
