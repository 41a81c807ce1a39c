#include "core/autolaunch.h"

#include <stdexcept>

namespace hx {
namespace {

// A key that cannot be opened has no value to delete; only a refused
// delete is a failure.
void DeleteRunValue(Registry& registry, RegistryRoot root) {
  if (!registry.CreateKey(root, kRunKeyPath)) return;
  if (registry.ValueExists(root, kRunKeyPath, kRunValueName)) registry.DeleteValue(root, kRunKeyPath, kRunValueName);
}

void WriteRunValue(Registry& registry, RegistryRoot root, const std::string& programPath) {
  registry.WriteString(root, kRunKeyPath, kRunValueName, programPath);
}

}  // namespace

AutoLaunchOutcome ApplyAutoLaunch(Registry& registry, int autoLaunch, const std::string& programPath) {
  try {
    switch (autoLaunch) {
      case 0:
        DeleteRunValue(registry, RegistryRoot::LocalMachine);
        DeleteRunValue(registry, RegistryRoot::CurrentUser);
        break;
      case 1:
        WriteRunValue(registry, RegistryRoot::LocalMachine, programPath);
        DeleteRunValue(registry, RegistryRoot::CurrentUser);
        break;
      case 2:
        WriteRunValue(registry, RegistryRoot::CurrentUser, programPath);
        DeleteRunValue(registry, RegistryRoot::LocalMachine);
        break;
    }
    return {autoLaunch, false};
  } catch (const std::exception&) {
    if (autoLaunch == 0) {
      DeleteRunValue(registry, RegistryRoot::CurrentUser);
      return {0, false};
    }
    WriteRunValue(registry, RegistryRoot::CurrentUser, programPath);
    return {2, true};
  }
}

}  // namespace hx
