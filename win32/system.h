// Facts about the running system and the program's own place in it.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "base/datetime.h"
#include "core/os_version.h"

namespace hx::win {

// The program file's full path and the folder that holds it.
std::filesystem::path ProgramFile();
std::filesystem::path ProgramFolder();

DateTime LocalNow();
// A date in the user's short date format, such as "08.12.2026".
std::string ShortDateText(const DateTime& date);

// Nothing when the system does not answer.
std::optional<OsVersion> QueryOsVersion();
// Empty when the system gives no name.
std::string CurrentUserName();
std::string ComputerName();

}  // namespace hx::win
