// The uninstaller's language files as they come from the disk (the ANSI code
// page, here CP1251): a language's "UnInstaller.txt" of "N=text" lines, and
// the small settings files that name the language. Properties:
// - each numbered text is the rest of the last "N=" line for its number, or
//   the default when there is none; numbers outside 1..54 stay empty;
// - the language name is the rest of the first "Language=" line;
// - the name the launch stage hands over reaches the removal stage
//   unchanged, and the hand-over file is gone afterwards.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "fuzz/fuzz_check.h"
#include "uninstaller/texts.h"
#include "uninstaller/text_util.h"

namespace {

using namespace hx;
using namespace hx::uninstall;
using fuzz::Require;

// Files by path, "\" and "/" alike and case ignored; folders exist
// implicitly.
class Files : public FileSystem {
 public:
  bool FileExists(const std::string& path) override { return files_.count(Key(path)) != 0; }
  bool FolderExists(const std::string&) override { return true; }
  PathKind Kind(const std::string& path) override { return FileExists(path) ? PathKind::File : PathKind::Folder; }
  std::optional<std::string> ReadText(const std::string& path) override {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return std::nullopt;
    return it->second;
  }
  bool WriteText(const std::string& path, const std::string& text) override {
    files_[Key(path)] = text;
    return true;
  }
  // The language code writes no batch file.
  bool OemCanHold(const std::string&) override { return true; }
  std::optional<std::string> ReadOemText(const std::string&) override { return std::nullopt; }
  bool WriteOemText(const std::string&, const std::string&) override { return false; }
  bool RemoveFile(const std::string& path) override { return files_.erase(Key(path)) != 0; }
  bool RemoveEmptyFolder(const std::string&) override { return false; }
  bool CreateFolders(const std::string&) override { return true; }
  std::vector<FolderEntry> List(const std::string&) override { return {{"English", true, false}}; }

 private:
  static std::string Key(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return path;
  }
  std::map<std::string, std::string> files_;
};

// The number a line sets: its leading digits, written without a leading
// zero and followed by "=", within 1..54; 0 for any other line.
int NumberOf(const std::string& line) {
  size_t digits = 0;
  while (digits < line.size() && digits < 3 && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits == 0 || digits == 3 || digits >= line.size() || line[digits] != '=' || line[0] == '0') return 0;
  const int n = std::stoi(line.substr(0, digits));
  return n <= kTextCount ? n : 0;
}

void CheckTexts(const std::string& text, const std::vector<std::string>& lines) {
  UninstallerTexts expected;
  for (const auto& line : lines)
    if (const int n = NumberOf(line)) expected.Set(n, line.substr(line.find('=') + 1));
  UninstallerTexts texts;
  texts.ApplyLanguageFile(text);
  for (int n = 1; n <= kTextCount; ++n)
    Require(texts[n] == expected[n], "a text is the rest of the last line of its number, else the default");
  Require(texts[0].empty() && texts[kTextCount + 1].empty() && texts[-1].empty(),
          "numbers outside the range give no text");
}

void CheckLanguageName(const std::string& text, const std::vector<std::string>& lines) {
  const std::string name = LanguageNameFromSettings(text);
  std::string expected;
  for (const auto& line : lines)
    if (StartsWithAsciiNoCase(line, "Language=")) {
      expected = line.substr(9);
      break;
    }
  Require(name == expected, "the language is the rest of the first Language= line");
}

void CheckHandOver(const std::string& text) {
  Files files;
  const std::string folder = "C:\\Program Files\\Horavex.KT";
  files.WriteText(folder + kHandOverLanguageFile, text);
  files.WriteText(folder + "\\Language\\English\\UnInstaller.txt", "9=Next >>\r\n");
  const auto askUser = [] { return std::optional<std::string>("English"); };
  const LanguageChoice launch = ChooseLanguage(files, folder, Stage::Launch, askUser);
  Require(!launch.cancelled && !launch.name.empty(), "the launch stage settles a language");
  const LanguageChoice removal = ChooseLanguage(files, folder, Stage::Removal, askUser);
  Require(removal.name == launch.name, "the removal stage gets the launch stage's language");
  Require(!files.FileExists(folder + kHandOverLanguageFile), "the hand-over file is gone after the removal stage");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = Cp1251ToUtf8(fuzz::AsText(data, size));
  const std::vector<std::string> lines = SplitCrLfLines(text);
  CheckTexts(text, lines);
  CheckLanguageName(text, lines);
  CheckHandOver(text);
  return 0;
}
