// Portable reader for the project's INI-style text (setup.inf, *.lcd, *.lan): parses the bytes
// once and then answers every key exactly as the system's GetPrivateProfileStringA would.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {

class IniDocument {
 public:
  // Builds the document from raw file bytes. Any bytes are accepted (NULs, CR-only lines, no
  // final newline, binary junk); parsing is linear in the input and never fails.
  static IniDocument Parse(std::string_view bytes);

  // What the system reader puts into a buffer of bufferSize characters for (section, key,
  // fallback): the first matching section's first matching key, one pair of surrounding quotes
  // removed, cut to bufferSize - 1. A missing section or key, or a key line without '=', gives
  // the fallback (trailing spaces dropped, quotes removed, cut the same way). Names match without
  // regard to ASCII case and surrounding blanks. bufferSize <= 0 gives "" (nothing is written).
  std::string Get(std::string_view section, std::string_view key, std::string_view fallback,
                  int bufferSize) const;

  // True when Get answers from the file rather than from the fallback.
  bool Has(std::string_view section, std::string_view key) const;

  // Named sections in file order, duplicates included, as the system reader lists them for a
  // null section.
  std::vector<std::string> Sections() const;

  // Key names of the first section named section (exact name, case aside), in file order, as the
  // system reader lists them for a null key: comments (';') and lines without '=' are left out.
  // Empty when the section is missing.
  std::vector<std::string> Keys(std::string_view section) const;

 // A character of a Unicode file that the ANSI code page lacks: where it sits and the byte
  // that the system's conversion hands out for it.
  using LookAlike = std::pair<size_t, char>;

 private:
  struct Entry {
    std::string name;   // as stored: blanks trimmed, cut at the first NUL
    std::string value;  // likewise; meaningful only when hasValue
    std::vector<LookAlike> valueLookAlikes;
    bool hasValue = false;
    bool matchable = true;  // false when the name held a character no ANSI query can hold
    bool comment = false;   // the name starts with ';'
  };
  struct Section {
    std::string name;
    bool matchable = true;
    std::vector<Entry> entries;
    std::vector<std::uint32_t> byName;  // entry indices sorted by folded name, file order kept
  };

  class Builder;

  const Section* FindSection(std::string_view trimmedName) const;
  const Entry* FindEntry(std::string_view section, std::string_view key) const;
  void BuildIndex();

  std::vector<Section> sections_;            // [0] is the nameless part before any header
  std::vector<std::uint32_t> sectionsByName_;  // section indices sorted by folded name
};

}  // namespace tw
