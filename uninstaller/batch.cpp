#include "uninstaller/batch.h"

#include "base/number_text.h"
#include "uninstaller/text_util.h"

namespace hx::uninstall {
namespace {

std::string Quoted(std::string_view path) {
  std::string out = "\"";
  for (char c : path) {
    out += c;
    if (c == '%') out += '%';
  }
  return out + "\"";
}

}  // namespace

std::string EraseLine(std::string_view path) { return "Erase " + Quoted(path); }

std::string RebootBatchContent(const std::string& rebootBatchText, bool rebootRequired,
                               const std::string& uninstallerPath, const std::optional<std::string>& earlierContent,
                               const std::string& batchPath) {
  std::string out;
  if (!rebootBatchText.empty()) out += rebootBatchText + "\r\n";
  if (rebootRequired) out += EraseLine(uninstallerPath) + "\r\n";
  const std::string earlier = earlierContent ? JoinCrLf(SplitCrLfLines(*earlierContent)) : std::string();
  if (!earlier.empty()) out += earlier + "\r\n";
  else out += EraseLine(batchPath) + "\r\n";
  return out;
}

std::string SelfDeleteBatchContent(const std::string& uninstallerPath, const std::string& batchPath) {
  // The uninstaller starts this batch just before it ends, so its file may
  // still be held for a moment: try again a bounded number of times.
  const std::string exe = Quoted(uninstallerPath);
  return "@echo off\r\n"
         "set n=0\r\n"
         ":again\r\n" +
         EraseLine(uninstallerPath) + " >nul 2>nul\r\n" +
         "if not exist " + exe + " goto done\r\n"
         "set /a n=n+1\r\n"
         "if %n% lss 200 goto again\r\n"
         ":done\r\n" +
         EraseLine(batchPath) + "\r\n";
}

std::string FormatElapsed(uint32_t ms) {
  const uint32_t hours = ms / 3600000;
  const uint32_t minutes = ms / 60000 - 60 * hours;
  const uint32_t seconds = (ms / 1000) % 60;
  return ZeroPadded(hours, 2) + ":" + ZeroPadded(minutes, 2) + ":" + ZeroPadded(seconds, 2);
}

std::string TempFolderFromEnvironment(const std::vector<std::string>& entries) {
  std::string folder;
  for (const std::string& entry : entries)
    if (entry.size() > 5 && StartsWithAsciiNoCase(entry, "TEMP=")) folder = entry.substr(5);
  return folder.empty() ? std::string("C:/Temp") : folder;
}

}  // namespace hx::uninstall
