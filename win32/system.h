// Facts about the running system and the program's own place in it.
#pragma once
#include <optional>
#include <string>

#include "base/datetime.h"
#include "base/path.h"
#include "core/os_version.h"

namespace hx::win {

// The program file's full path and the folder that holds it.
Path ProgramFile();
Path ProgramFolder();

// The local date and time.
DateTime LocalNow();
// A date in the user's short date format, such as "08.12.2026".
std::string ShortDateText(const DateTime& date);

// Nothing when the system does not answer.
std::optional<OsVersion> QueryOsVersion();
// Empty when the system gives no name.
std::string CurrentUserName();
std::string ComputerName();

}  // namespace hx::win
