#include "core/autolaunch.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/memory_registry.h"

namespace hx {
namespace {

constexpr char kExe[] = "C:\\Program Files\\Horavex.KT\\Horavex.KT.exe";

bool HasRunValue(MemoryRegistry& reg, RegistryRoot root) { return reg.ValueExists(root, kRunKeyPath, kRunValueName); }

}  // namespace

TEST(ApplyAutoLaunch, EachModeLeavesTheValueInExactlyItsRoot) {
  MemoryRegistry reg;
  EXPECT_FALSE(ApplyAutoLaunch(reg, 1, kExe).warnUser);
  EXPECT_TRUE(HasRunValue(reg, RegistryRoot::LocalMachine));
  EXPECT_FALSE(HasRunValue(reg, RegistryRoot::CurrentUser));
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, kRunKeyPath, "horavex"), kExe);

  EXPECT_EQ(ApplyAutoLaunch(reg, 2, kExe).autoLaunch, 2);
  EXPECT_FALSE(HasRunValue(reg, RegistryRoot::LocalMachine));
  EXPECT_TRUE(HasRunValue(reg, RegistryRoot::CurrentUser));

  ApplyAutoLaunch(reg, 0, kExe);
  EXPECT_FALSE(HasRunValue(reg, RegistryRoot::LocalMachine));
  EXPECT_FALSE(HasRunValue(reg, RegistryRoot::CurrentUser));
}

TEST(ApplyAutoLaunch, AllUsersWithoutAccessFallsBackToThisUserAndWarns) {
  MemoryRegistry reg;
  reg.SetReadOnly(RegistryRoot::LocalMachine, true);
  const auto out = ApplyAutoLaunch(reg, 1, kExe);
  EXPECT_EQ(out.autoLaunch, 2);
  EXPECT_TRUE(out.warnUser);
  EXPECT_TRUE(HasRunValue(reg, RegistryRoot::CurrentUser));
  // Once the setting is 2, the same registry gives no warning.
  const auto again = ApplyAutoLaunch(reg, 2, kExe);
  EXPECT_FALSE(again.warnUser);
  EXPECT_EQ(again.autoLaunch, 2);
}

TEST(ApplyAutoLaunch, ThisUserOnlyCannotRemoveTheSharedValueFallsBack) {
  MemoryRegistry reg;
  reg.WriteString(RegistryRoot::LocalMachine, kRunKeyPath, kRunValueName, kExe);
  reg.SetReadOnly(RegistryRoot::LocalMachine, true);
  const auto out = ApplyAutoLaunch(reg, 2, kExe);
  EXPECT_TRUE(out.warnUser);
  EXPECT_TRUE(HasRunValue(reg, RegistryRoot::CurrentUser));
}

TEST(ApplyAutoLaunch, FailingFallbackIsReported) {
  MemoryRegistry reg;
  reg.SetReadOnly(RegistryRoot::LocalMachine, true);
  reg.SetReadOnly(RegistryRoot::CurrentUser, true);
  EXPECT_THROW(ApplyAutoLaunch(reg, 1, kExe), RegistryError);
  EXPECT_NO_THROW(ApplyAutoLaunch(reg, 0, kExe));  // nothing to delete anywhere
}

}  // namespace hx
