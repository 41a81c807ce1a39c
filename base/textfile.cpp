#include "base/textfile.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "base/cp1251.h"
#include "base/errors.h"

namespace hx {
namespace fs = std::filesystem;

namespace {

std::string Describe(const char* what, const fs::path& path) {
  const std::u8string name = path.u8string();
  return std::string(what) + " " + std::string(name.begin(), name.end());
}

enum class WriteMode { Replace, Append };

// Writes the bytes and, for a file that is to replace another, has the
// system put them on the disk before it returns, so that a power cut after
// the replacement cannot leave an empty file.
void WriteAll(const fs::path& path, std::string_view bytes, WriteMode mode) {
#ifdef _WIN32
  FILE* out = _wfopen(path.c_str(), mode == WriteMode::Append ? L"ab" : L"wb");
#else
  FILE* out = std::fopen(path.c_str(), mode == WriteMode::Append ? "ab" : "wb");
#endif
  if (!out) throw FileError(Describe("cannot open for writing", path));
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
  if (written && mode == WriteMode::Replace) {
#ifdef _WIN32
    written = _commit(_fileno(out)) == 0;  // FlushFileBuffers
#else
    written = fsync(fileno(out)) == 0;
#endif
  }
  written = std::fclose(out) == 0 && written;
  if (!written) throw FileError(Describe("cannot write", path));
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(Describe("cannot open for reading", path));
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileError(Describe("cannot read", path));
  return bytes;
}

// The file is written beside its place and then renamed over it; a failure
// at any step leaves the old file as it was and no temporary file behind.
void ReplaceWithBytes(const fs::path& path, std::string_view bytes) {
  fs::path temporary = path;
  temporary += ".new";
  std::error_code ec;
  try {
    WriteAll(temporary, bytes, WriteMode::Replace);
  } catch (const FileError&) {
    fs::remove(temporary, ec);
    throw;
  }
  fs::rename(temporary, path, ec);
  if (ec) {
    fs::remove(temporary, ec);
    throw FileError(Describe("cannot replace", path));
  }
}

}  // namespace

std::optional<std::string> ReadTextFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return std::nullopt;
  return Cp1251ToUtf8(ReadAll(path));
}

void WriteTextFileAtomically(const fs::path& path, std::string_view utf8) { ReplaceWithBytes(path, Utf8ToCp1251(utf8)); }

// std::filesystem::copy_file is not used: some standard libraries refuse to
// overwrite on Windows.
void CopyFileReplacing(const fs::path& from, const fs::path& to) { ReplaceWithBytes(to, ReadAll(from)); }

void AppendTextFile(const fs::path& path, std::string_view utf8) {
  WriteAll(path, Utf8ToCp1251(utf8), WriteMode::Append);
}

}  // namespace hx
