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
  // Names and values are pieces of text_, so a parse makes a handful of allocations however many
  // lines the file has: a page layout is parsed and read thousands of times a second by the fuzzers
  // and once per page by the wizard, and its many small strings were most of that time.
  struct Span {
    size_t begin = 0;
    size_t size = 0;
  };
  struct Entry {
    Span name;   // blanks trimmed, cut at the first NUL
    Span value;  // likewise; meaningful only when hasValue
    bool hasValue = false;
    bool quoted = false;     // the value sits between a matching pair of ' or "
    bool matchable = true;   // false when the name held a character no ANSI query can hold
    bool comment = false;    // the name starts with ';'
  };
  struct Section {
    Span name;
    bool matchable = true;
    size_t firstEntry = 0;  // its entries are entries_[firstEntry, firstEntry + entryCount)
    size_t entryCount = 0;
  };
  // One name of the index: the hash of its case-folded spelling, then its position, so that among
  // equal names the first in the file comes first, which is the one the system reader finds.
  struct Indexed {
    size_t owner;  // the section's index for an entry; 0 for a section
    std::uint32_t hash;
    size_t index;  // into sections_ or entries_
    bool operator<(const Indexed& other) const;
  };

  class Builder;

  std::string_view Text(Span span) const { return std::string_view(text_).substr(span.begin, span.size); }
  const Section* FindSection(std::string_view trimmedName) const;
  const Entry* FindEntry(std::string_view section, std::string_view key) const;
  void BuildIndex();

  std::string text_;                    // the file as ANSI text, look-alike bytes in place
  std::vector<Section> sections_;       // [0] is the nameless part before any header
  std::vector<Entry> entries_;          // every section's entries, in file order
  std::vector<Indexed> sectionsByName_; // matchable sections
  std::vector<Indexed> entriesByName_;  // matchable entries, by section
};

}  // namespace tw
