#include "base/textfile.h"

#include <utility>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/files.h"


namespace hx {

namespace {

std::string Describe(const char* what, const Path& path) { return std::string(what) + " " + path.utf8(); }

// Writes the bytes; a file that is to replace another is put on the disk
// before this returns, so that a power cut after the replacement cannot
// leave an empty file.
void WriteAll(const Path& path, std::string_view bytes, files::WriteMode mode) {
  switch (files::WriteBytes(path, bytes, mode)) {
    case files::WriteResult::Written: return;
    case files::WriteResult::CannotOpen: throw FileError(Describe("cannot open for writing", path));
    case files::WriteResult::CannotWrite: throw FileError(Describe("cannot write", path));
  }
}

std::string ReadAll(const Path& path) {
  std::optional<std::string> bytes = files::ReadBytes(path);
  if (!bytes) throw FileError(Describe("cannot read", path));
  return std::move(*bytes);
}

// The file is written beside its place and then renamed over it; a failure
// at any step leaves the old file as it was and no temporary file behind.
void ReplaceWithBytes(const Path& path, std::string_view bytes) {
  Path temporary = path;
  temporary += ".new";
  try {
    WriteAll(temporary, bytes, files::WriteMode::Replace);
  } catch (const FileError&) {
    files::Remove(temporary);
    throw;
  }
  if (!files::MoveReplacing(temporary, path)) {
    files::Remove(temporary);
    throw FileError(Describe("cannot replace", path));
  }
}

}  // namespace

std::optional<std::string> ReadTextFile(const Path& path) {
  if (!files::Exists(path)) return std::nullopt;
  return Cp1251ToUtf8(ReadAll(path));
}

void WriteTextFileAtomically(const Path& path, std::string_view utf8) { ReplaceWithBytes(path, Utf8ToCp1251(utf8)); }

void CopyFileReplacing(const Path& from, const Path& to) { ReplaceWithBytes(to, ReadAll(from)); }

void AppendTextFile(const Path& path, std::string_view utf8) {
  WriteAll(path, Utf8ToCp1251(utf8), files::WriteMode::Append);
}

void RemoveIfPresent(const Path& path) {
  if (!files::Remove(path) && files::Exists(path)) throw FileError(Describe("cannot remove", path));
}

void RenameReplacing(const Path& from, const Path& to) {
  if (!files::MoveReplacing(from, to)) throw FileError(Describe("cannot rename", from));
}

void CreateFolders(const Path& folder) {
  if (!files::CreateFolders(folder)) throw FileError(Describe("cannot create", folder));
}

}  // namespace hx
