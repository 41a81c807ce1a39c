// The files and folders beside the program file.
#pragma once
#include <filesystem>

namespace hx::paths {

using std::filesystem::path;

inline path SettingsFolder(const path& program) { return program / "Settings"; }
inline path SettingsFile(const path& program) { return SettingsFolder(program) / "HXSettings.ini"; }
inline path ClocksFile(const path& program) { return SettingsFolder(program) / "HXClocks.ini"; }
inline path ResourceFolder(const path& program) { return program / "Resource"; }
inline path UpdateChecker(const path& program) { return ResourceFolder(program) / "Updrift.exe"; }
inline path TempFolder(const path& program) { return program / "TempFiles"; }
inline path ErrorLogFolder(const path& program) { return program / "ErrorLog"; }
inline path ErrorLogFile(const path& program) { return ErrorLogFolder(program) / "Debug.Log"; }
inline path SentErrorLogFile(const path& program) { return ErrorLogFolder(program) / "SendingDebug.Log"; }
inline path HelpPage(const path& program) { return program / "Help" / "index.htm"; }
inline path AboutPage(const path& program) { return program / "Source" / "Temp.mht"; }

}  // namespace hx::paths
