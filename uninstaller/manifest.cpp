#include "uninstaller/manifest.h"

#include "uninstaller/text_util.h"

namespace hx::uninstall {
namespace {

enum class Section { Preamble, InstallFiles, ComponentsFiles, SettingsFiles, Links, RegSet, TmpFiles };

// A line opens a section only when the whole line is one of the six headers.
bool HeaderOf(const std::string& line, Section& section) {
  static const struct {
    const char* text;
    Section section;
  } kHeaders[] = {
      {"[InstallFiles]", Section::InstallFiles}, {"[ComponentsFiles]", Section::ComponentsFiles},
      {"[SettingsFiles]", Section::SettingsFiles}, {"[Links]", Section::Links},
      {"[RegSet]", Section::RegSet}, {"[TmpFiles]", Section::TmpFiles},
  };
  for (const auto& h : kHeaders)
    if (EqualsNoCase(line, h.text)) {
      section = h.section;
      return true;
    }
  return false;
}

// "Key=value" at the start of a preamble line; an empty value changes nothing.
void ApplyKey(const std::string& line, const char* key, std::string& value) {
  const std::string_view k(key);
  if (StartsWithAsciiNoCase(line, k) && line.size() > k.size()) value = line.substr(k.size());
}

std::string ManifestText(FileSystem& files, const std::string& programFolder) {
  return files.ReadText(programFolder + kManifestPath).value_or(std::string());
}

}  // namespace

ListPass ListPassFor(RemovalMode mode) {
  switch (mode) {
    case RemovalMode::RemoveExternalSettings:
    case RemovalMode::ResetSettings: return {false, 2};
    case RemovalMode::RemoveProgramFiles: return {false, 1};
    case RemovalMode::RemoveEverything: return {true, 1};
  }
  return {false, 2};
}

bool ParseManifestHeader(const std::string& text, ManifestHeader& header) {
  header.programName.clear();
  header.programVers.clear();
  auto complete = [&] { return !header.programName.empty() && !header.programVers.empty() && !header.formClass.empty(); };
  Section section = Section::Preamble;
  for (const std::string& line : SplitCrLfLines(text)) {
    if (HeaderOf(line, section)) continue;
    if (section == Section::Preamble) {
      ApplyKey(line, "ProgramName=", header.programName);
      ApplyKey(line, "ProgramVers=", header.programVers);
      ApplyKey(line, "FormClass=", header.formClass);
    }
    if (complete()) return true;
  }
  return complete();
}

void ParseManifestLists(const std::string& text, ListPass pass, ManifestHeader& header, RemovalLists& lists) {
  lists.install.clear();
  lists.settings.clear();
  Section section = Section::Preamble;
  for (const std::string& line : SplitCrLfLines(text)) {
    if (HeaderOf(line, section)) continue;
    switch (section) {
      case Section::Preamble: ApplyKey(line, "AutoRunName=", header.autoRunName); break;
      case Section::InstallFiles:
        if (pass.scope == 1) lists.install.push_back(line);
        break;
      case Section::ComponentsFiles:
        if (pass.scope == 1 && pass.withComponents) lists.install.push_back(line);
        break;
      case Section::SettingsFiles: lists.settings.push_back(line); break;
      case Section::Links: lists.links.push_back(line); break;
      case Section::RegSet: lists.registry.push_back(line); break;
      case Section::TmpFiles: lists.temporary.push_back(line); break;
    }
  }
}

bool ReadManifestHeader(FileSystem& files, const std::string& programFolder, ManifestHeader& header) {
  return ParseManifestHeader(ManifestText(files, programFolder), header);
}

void ReadManifestLists(FileSystem& files, const std::string& programFolder, ListPass pass, ManifestHeader& header,
                       RemovalLists& lists) {
  ParseManifestLists(ManifestText(files, programFolder), pass, header, lists);
}

std::string ListProgramFiles(FileSystem& files, const std::string& folder, const std::string& root) {
  std::string prefix = folder.size() > root.size() ? folder.substr(root.size()) : std::string();
  if (!prefix.empty()) prefix += "\\";
  std::vector<std::string> results;
  for (const FolderEntry& entry : files.List(folder)) {
    if (entry.folder) {
      if (entry.link) continue;
      std::string sub = ListProgramFiles(files, folder + "\\" + entry.name, root);
      if (!sub.empty()) results.push_back(std::move(sub));
    } else {
      std::string name = prefix + entry.name;
      if (!EqualsNoCase(name, kTemplatePath)) results.push_back(std::move(name));
    }
  }
  return JoinCrLf(results);
}

ManifestState PrepareManifest(FileSystem& files, const std::string& folder) {
  const std::string templatePath = folder + kTemplatePath;
  const std::string manifestPath = folder + kManifestPath;
  if (files.FileExists(templatePath)) {
    const std::string templateText = JoinCrLf(SplitCrLfLines(files.ReadText(templatePath).value_or(std::string())));
    std::string text = templateText + "\r\n[InstallFiles]\r\n";
    // The manifest exists while the folder is listed, so it lists itself.
    if (!files.WriteText(manifestPath, text)) return ManifestState::WriteFailed;
    text += ListProgramFiles(files, folder, folder) + "\r\n";
    if (!files.WriteText(manifestPath, text)) return ManifestState::WriteFailed;
    return ManifestState::Generated;
  }
  return files.FileExists(manifestPath) ? ManifestState::Ready : ManifestState::Missing;
}

}  // namespace hx::uninstall
