#include "core/patch_registration.h"

namespace hx {

void RegisterPatch(Registry&, bool, const std::string&, const std::string&, const std::string&) {
  // Filled by the patch registration work.
}

}  // namespace hx
