// Keeps the "Horavex" value of the Run key in line with the AutoLaunch
// setting.
#pragma once
#include <string>

#include "base/registry.h"

namespace hx {

inline constexpr char kRunKeyPath[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "Horavex";
inline constexpr char kAutoLaunchFallbackNotice[] =
    "Вам запрещен доступ к общим разделам реестра, автозагрузка при старте включена только для этого пользователя.";

struct AutoLaunchOutcome {
  int autoLaunch;     // 2 after a fallback for 1 or 2, else unchanged
  bool warnUser;      // show kAutoLaunchFallbackNotice
};

// 0: no value anywhere; 1: the value for all users; 2: the value for this
// user only. When the shared root refuses, autostart falls back to this
// user. Throws RegistryError only when the fallback fails too.
AutoLaunchOutcome ApplyAutoLaunch(Registry& registry, int autoLaunch, const std::string& programPath);

}  // namespace hx
