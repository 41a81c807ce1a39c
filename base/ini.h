// An INI document held in memory as its lines, read and changed with the
// rules of Windows' profile functions:
// - section and key names compare without regard to (ASCII) case;
// - blanks around names and values are dropped, and a value wrapped in a
//   matching pair of quotes loses them; so a value written with blanks at
//   either end, or wrapped in quotes itself, is stored in double quotes and
//   reads back as written;
// - the first section of a name and the first key of a name in it count;
// - a missing section or key gives the caller's default;
// - a new key goes after the last key of its section, a new section to the
//   end of the document; every other line is kept as it was.
// Integers are decimal, or hexadecimal with a "$" or "0x" prefix; text that
// is not a whole integer gives the default. Booleans are written "1"/"0" and
// read as integers, non-zero meaning true.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hx {

std::optional<int> ParseIniInteger(std::string_view text);

class IniDocument {
 public:
  IniDocument() = default;
  // Text with CR LF or LF line ends.
  static IniDocument Parse(std::string_view text);
  // The lines joined with CR LF, each line ended.
  std::string Serialize() const;

  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  std::vector<std::string> SectionNames() const;
  // Names of the keys of the first section of that name, in file order.
  std::vector<std::string> KeyNames(std::string_view section) const;
  // Raw lines of the first section of that name (without its header).
  std::vector<std::string> SectionLines(std::string_view section) const;
  void EraseSection(std::string_view section);
  void EraseKey(std::string_view section, std::string_view key);

  void Clear() { lines_.clear(); }
  bool Empty() const { return lines_.empty(); }

 private:
  struct Range { size_t header; size_t end; };  // header line, one past the last line
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<size_t> FindKeyLine(const Range& r, std::string_view key) const;

  std::vector<std::string> lines_;
};

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string_view TrimBlanks(std::string_view s);

}  // namespace hx
