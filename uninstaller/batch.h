// Texts the uninstaller writes into batch files and shows while removing,
// and where its temporary folder is.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hx::uninstall {

// Erase "<path>", with every "%" doubled so the command interpreter takes
// the name literally instead of expanding variables in it.
std::string EraseLine(std::string_view path);

// The reboot batch: the collected Erase lines, an Erase line for the
// uninstaller when a restart is wanted, then the lines of an earlier reboot
// batch (whose own closing Erase line thus stays last) or, the first time,
// an Erase line for the batch itself. Every line ends with CR LF.
std::string RebootBatchContent(const std::string& rebootBatchText, bool rebootRequired,
                               const std::string& uninstallerPath, const std::optional<std::string>& earlierContent,
                               const std::string& batchPath);

// The self-delete batch: erases the uninstaller (trying again while the
// ending process still holds its file) and then itself.
std::string SelfDeleteBatchContent(const std::string& uninstallerPath, const std::string& batchPath);

// "hh:mm:ss" for milliseconds since the removal began; hours grow past 99.
std::string FormatElapsed(uint32_t milliseconds);

// The value of the environment variable named exactly TEMP (ASCII case
// ignored) among "name=value" entries, the last one winning; "C:/Temp" when
// none gives a value.
std::string TempFolderFromEnvironment(const std::vector<std::string>& entries);

}  // namespace hx::uninstall
