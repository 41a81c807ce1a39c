#include "uninstaller/texts.h"

#include "uninstaller/text_util.h"

namespace hx::uninstall {
namespace {

const char* const kDefaults[kTextCount + 1] = {
    "",
    "Программа удаления уже запущена!",
    "Неизвестная ошибка!",
    "Адрес:",
    "Подтверждение...",
    "Закрыть программу удаления?",
    "Все файлы программы, настройки, записи в реестре будут удалены.",
    "Полное удаление программы.",
    "Рекомендуется перед установкой новой версии программы. Настройки программы сохраняются.",
    "Далее >>",
    "Удаление внешних настроек.",
    "Все настройки не находящиеся в папке программы будут удалены, рекомендуется при запуске программы с флэшек и т.п.",
    "Сброс настроек программы.",
    "Рекомендуется если программа выдает ошибки, но перед этим попробуйте переустановить программу в ту же папку.",
    "Удаление установленных файлов программы.",
    "Удалить все внешние настройки программы \"%s\"?",
    "Сбросить настройки программы \"%s\"?",
    "Удалить программу \"%s\"? Все настройки программы будут сохранены.",
    "Удалить программу \"%s\" и все её данные?",
    "Удаление \"%s %s\"",
    "Выберите необходимое действие:",
    "Отмена",
    "Ошибка в файле настроек программы удаления!",
    "Программа \"%s\" запущена в данный момент!",
    "Закрыть программу?",
    "Готово",
    "Индикация процесса удаления:",
    "Удаление каталогов...",
    "",
    "Выбрать все",
    "Очистить все",
    "Затрачено времени:",
    "Удаление файлов настроек...",
    "Удаление файлов программы...",
    "Отзыв о программе",
    "", "", "", "", "", "", "", "", "", "", "",  // 35-45
    "Удаление ярлыков...",
    "Удаление ключей и значений в реестре...",
    "Удаление временных файлов...",
    "Не удалось удалить исполняемый файл программы, удаление программы отменено!",
    ("Возможно, программа запущена другим пользователем или у вас не достаточно прав для удаления, попробуйте "
     "зайти под учетной записью администратора и запустить программу удаления снова."),
    "Для завершения деинсталляции %s необходимо произвести перезагрузку Вашего компьютера.",
    "Выполнить перезагрузку сейчас?",
    "Заполнить отзыв о программе можно, только выполнив перезагрузку позже, вручную.",
    "Обнаружен запущенный экземпляр %s. Продолжение процесса деинсталляции невозможно.",
    "Не удалось записать файл \"%s\": оставшиеся файлы не будут удалены при следующем входе в систему, "
    "удалите их вручную.",
    "Не удалось назначить запуск \"%s\" при следующем входе в систему: запустите его вручную после перезагрузки.",
    "Не удалось удалить \"%s\", удалите этот файл вручную.",
};

void ApplyFile(FileSystem& files, const std::string& programFolder, const std::string& name, UninstallerTexts& texts) {
  if (auto text = files.ReadText(programFolder + "/Language/" + name + "/UnInstaller.txt"))
    texts.ApplyLanguageFile(*text);
}

std::string NameFromFile(FileSystem& files, const std::string& path, bool& exists) {
  const auto text = files.ReadText(path);
  exists = text.has_value();
  return text ? LanguageNameFromSettings(*text) : std::string();
}

}  // namespace

UninstallerTexts::UninstallerTexts() {
  for (int i = 0; i <= kTextCount; ++i) texts_[i] = kDefaults[i];
}

const std::string& UninstallerTexts::operator[](int number) const {
  return texts_[number >= 1 && number <= kTextCount ? number : 0];
}

void UninstallerTexts::Set(int number, std::string text) {
  if (number >= 1 && number <= kTextCount) texts_[number] = std::move(text);
}

void UninstallerTexts::ApplyLanguageFile(const std::string& fileText) {
  for (const std::string& line : SplitCrLfLines(fileText)) {
    for (int n = 1; n <= kTextCount; ++n) {
      const std::string key = std::to_string(n) + "=";
      if (line.compare(0, key.size(), key) == 0) {
        texts_[n] = line.substr(key.size());
        break;
      }
    }
  }
}

std::string LanguageNameFromSettings(const std::string& fileText) {
  for (const std::string& line : SplitCrLfLines(fileText))
    if (StartsWithAsciiNoCase(line, "Language=")) return line.substr(9);
  return {};
}

std::vector<std::string> AvailableLanguages(FileSystem& files, const std::string& folder) {
  std::vector<std::string> names{"Russian"};
  const std::string base = folder + "\\Language";
  for (const FolderEntry& entry : files.List(base))
    if (files.FileExists(base + "\\" + entry.name + "\\UnInstaller.txt")) names.push_back(entry.name);
  return names;
}

UninstallerTexts LoadTexts(FileSystem& files, const std::string& programFolder, const std::string& languageName) {
  UninstallerTexts texts;
  if (EqualsNoCase(languageName, "russian")) return texts;
  ApplyFile(files, programFolder, "English", texts);
  if (!EqualsNoCase(languageName, "english")) ApplyFile(files, programFolder, languageName, texts);
  return texts;
}

LanguageChoice ChooseLanguage(FileSystem& files, const std::string& programFolder, Stage stage,
                              const std::function<std::optional<std::string>()>& askUser) {
  LanguageChoice choice;
  bool exists = false;
  choice.name = NameFromFile(files, programFolder + kUserLanguageFile, exists);
  if (choice.name.empty()) {
    choice.name = NameFromFile(files, programFolder + kHandOverLanguageFile, exists);
    // A hand-over file without a name is as good as none at launch.
    if (stage == Stage::Launch && choice.name.empty()) {
      if (AvailableLanguages(files, programFolder).size() > 1) {
        auto picked = askUser();
        if (!picked) {
          choice.cancelled = true;
          choice.name.clear();
          return choice;
        }
        choice.name = *picked;
      } else {
        choice.name = "Russian";
      }
    }
  }
  if (stage == Stage::Launch) {
    files.CreateFolders(programFolder + "\\Settings");
    files.WriteText(programFolder + kHandOverLanguageFile, "Language=" + choice.name + "\r\n");
  } else if (files.FileExists(programFolder + kHandOverLanguageFile)) {
    files.RemoveFile(programFolder + kHandOverLanguageFile);
  }
  choice.texts = LoadTexts(files, programFolder, choice.name);
  return choice;
}

}  // namespace hx::uninstall
