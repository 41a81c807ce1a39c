// The uninstaller's numbered texts, Russian by default, overridden line by
// line from "Language\<name>\UnInstaller.txt", and the choice of language.
#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "uninstaller/file_system.h"

namespace hx::uninstall {

inline constexpr int kTextCount = 57;

// Log lines for files the removal had to leave; "%s" is the path.
inline constexpr int kTextRebootBatchNotWritten = 55;
inline constexpr int kTextRebootBatchNotRegistered = 56;
inline constexpr int kTextRemoveByHand = 57;

class UninstallerTexts {
 public:
  UninstallerTexts();  // the Russian defaults
  const std::string& operator[](int number) const;
  void Set(int number, std::string text);
  // Applies a language file's text: each line "N=text" for N in 1..kTextCount sets
  // that text (the rest of the line, not trimmed); other lines are ignored
  // and a later line for the same number wins.
  void ApplyLanguageFile(const std::string& fileText);

 private:
  std::array<std::string, kTextCount + 1> texts_;
};

// The name of the first line that begins with "Language=" (ASCII case
// ignored); empty when there is none.
std::string LanguageNameFromSettings(const std::string& fileText);

// "Russian" followed by every folder of "<folder>\Language" that holds an
// "UnInstaller.txt", in the order the file system gives them.
std::vector<std::string> AvailableLanguages(FileSystem& files, const std::string& folder);

// Loads the defaults and then the language files for the name: none for
// Russian, "English" for English, else "English" and then the name's own,
// so a text missing from a language falls back to English and then Russian.
UninstallerTexts LoadTexts(FileSystem& files, const std::string& programFolder, const std::string& languageName);

struct LanguageChoice {
  bool cancelled = false;
  std::string name;  // empty when none was found
  UninstallerTexts texts;
};

enum class Stage { Launch, Removal };

// Settles the language. The launch stage may ask the user (askUser returns
// the chosen name, or nothing for Cancel) and writes the choice to
// "Settings\UILangSettings.ini" for the removal stage, which reads and
// deletes it.
LanguageChoice ChooseLanguage(FileSystem& files, const std::string& programFolder, Stage stage,
                              const std::function<std::optional<std::string>()>& askUser);

inline constexpr char kUserLanguageFile[] = "/Settings/ULangSettings.ini";
inline constexpr char kHandOverLanguageFile[] = "\\Settings\\UILangSettings.ini";

}  // namespace hx::uninstall
