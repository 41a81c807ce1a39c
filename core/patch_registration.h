// Registration of installed program versions under
// HKEY_CURRENT_USER\Software\Tanvolk\AutoInstallPatch.
#pragma once
#include <string>

#include "base/registry.h"

namespace hx {

// Called at start-up with remove = false, the program's name and version,
// and the program file's full path.
void RegisterPatch(Registry& registry, bool remove, const std::string& programName, const std::string& programVersion,
                   const std::string& programFile);

}  // namespace hx
