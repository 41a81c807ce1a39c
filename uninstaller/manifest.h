// The uninstall manifest "Resource\Uninstall.ini": a preamble of header keys,
// then sections whose lines are the entries to remove. The uninstaller also
// generates it from the template "Resource\InstallFiles_Uninstall.ini".
#pragma once
#include <string>
#include <vector>

#include "uninstaller/file_system.h"

namespace hx::uninstall {

inline constexpr char kManifestPath[] = "\\Resource\\Uninstall.ini";
inline constexpr char kTemplatePath[] = "\\Resource\\InstallFiles_Uninstall.ini";

// The four ways to remove, carried as the command identifiers of the choice
// buttons.
enum class RemovalMode {
  RemoveExternalSettings = 1044,
  ResetSettings = 1045,
  RemoveProgramFiles = 1046,
  RemoveEverything = 1047,
};

struct ManifestHeader {
  std::string programName;  // also the executable's base name
  std::string programVers;
  std::string formClass;    // class of the running program's main window
  std::string autoRunName;  // value name under ...\CurrentVersion\Run
};

struct RemovalLists {
  std::vector<std::string> install;    // [InstallFiles], [ComponentsFiles]
  std::vector<std::string> settings;   // [SettingsFiles]
  std::vector<std::string> links;      // [Links]
  std::vector<std::string> registry;   // [RegSet]
  std::vector<std::string> temporary;  // [TmpFiles]
};

// Which sections a mode reads: scope 1 takes the program files, scope 2 only
// the settings-side sections.
struct ListPass {
  bool withComponents = false;
  int scope = 2;
};
ListPass ListPassFor(RemovalMode mode);

// The header pass over the manifest's text. Clears name and version (the
// form class keeps an earlier value) and returns whether all three of name,
// version and form class are set afterwards.
bool ParseManifestHeader(const std::string& text, ManifestHeader& header);
// The list pass: empties the install and settings lists, then appends the
// entries the pass takes; sets AutoRunName from the preamble.
void ParseManifestLists(const std::string& text, ListPass pass, ManifestHeader& header, RemovalLists& lists);

// The same passes on the program folder's manifest file; a missing file
// leaves the header incomplete and the lists empty.
bool ReadManifestHeader(FileSystem& files, const std::string& programFolder, ManifestHeader& header);
void ReadManifestLists(FileSystem& files, const std::string& programFolder, ListPass pass, ManifestHeader& header,
                       RemovalLists& lists);

// The files of a folder tree relative to root, joined with CR LF, depth
// first in the order the file system gives them: "Name.ext" for files of the
// root, "\Sub\Name.ext" below it. The template never lists itself, and links
// to other folders are not entered.
std::string ListProgramFiles(FileSystem& files, const std::string& folder, const std::string& root);

enum class ManifestState {
  Generated,    // written from the template: the run stops after telling so
  Ready,        // the manifest is there: go on
  Missing,      // neither manifest nor template: stop with an error
  WriteFailed,  // the template is there but the manifest could not be written
};
ManifestState PrepareManifest(FileSystem& files, const std::string& folder);

// Texts of the boxes PrepareManifest's outcomes call for (caption "Unwinder.KT").
inline constexpr char kManifestCreatedText[] = "The configuration file \"Uninstall.ini\" was create sucsessfully!";
inline constexpr char kManifestMissingText[] =
    "Error launching uninstaller!\r\n\r\nThe configuration file \"Uninstall.ini\" was not found!";
inline constexpr char kManifestWriteFailedText[] =
    "Error launching uninstaller!\r\n\r\nThe configuration file \"Uninstall.ini\" could not be written!";

}  // namespace hx::uninstall
