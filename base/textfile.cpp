#include "base/textfile.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "base/cp1251.h"
#include "base/errors.h"

namespace hx {
namespace fs = std::filesystem;

namespace {

std::string Describe(const char* what, const fs::path& path) {
  const std::u8string name = path.u8string();
  return std::string(what) + " " + std::string(name.begin(), name.end());
}

void WriteAll(const fs::path& path, std::string_view bytes, std::ios::openmode mode) {
  std::ofstream out(path, std::ios::binary | mode);
  if (!out) throw FileError(Describe("cannot open for writing", path));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (!out) throw FileError(Describe("cannot write", path));
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(Describe("cannot open for reading", path));
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileError(Describe("cannot read", path));
  return bytes;
}

void ReplaceWithBytes(const fs::path& path, std::string_view bytes) {
  fs::path temporary = path;
  temporary += ".new";
  WriteAll(temporary, bytes, std::ios::trunc);
  std::error_code ec;
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
  WriteAll(path, Utf8ToCp1251(utf8), std::ios::app);
}

}  // namespace hx
