// Portable reader for the project's INI-style text; see ini_document.h.
#include "platform/ini_document.h"

#include <algorithm>
#include <cstdint>

namespace tw {
namespace {

// The system reader counts TAB..CR, ^Z (a DOS end-of-file mark found on old media) and space as
// blanks, and nothing else: a no-break space (0xA0) is part of a name.
bool IsBlank(unsigned char c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20; }

std::string_view TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && IsBlank(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

// The system reader keeps names and values as C strings, so whatever follows a NUL byte is
// invisible to every lookup; the API's own arguments are C strings too.
std::string_view CutAtNul(std::string_view text) {
  size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// Names match without regard to ASCII case only: the reader under Wine compares other letters
// (\xC9 and \xE9, say) exactly, and that reader is the one our end-to-end runs answer to.
unsigned char Fold(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 0x20) : byte;
}

// FNV-1a over the folded bytes: names equal but for case hash alike.
std::uint32_t FoldedHash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (char c : name) hash = (hash ^ Fold(c)) * 16777619u;
  return hash;
}

bool EqualFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

// A value between a matching pair of quotes (' or "), judged on the text as read: a look-alike
// quote stands for a character the file did not hold as one.
bool IsQuoted(std::string_view value) {
  return value.size() > 1 && (value[0] == '\'' || value[0] == '"') && value.back() == value[0];
}

// Copies a stored value (or the fallback) the way the system reader fills the caller's buffer:
// one pair of matching surrounding quotes is dropped, the text is cut to size - 1, and when the
// buffer reaches the closing quote's position the last copied character is dropped too. That
// last rule is why "abc" read with a 4-character buffer comes back as "ab".
std::string CopyToBuffer(std::string_view value, int bufferSize, bool quoted) {
  if (quoted) value.remove_prefix(1);
  const size_t room = static_cast<size_t>(bufferSize) - 1;
  std::string out(value.substr(0, std::min(room, value.size())));
  if (quoted && static_cast<size_t>(bufferSize) >= value.size() && !out.empty()) out.pop_back();
  return out;
}

// The fallback loses its trailing spaces (spaces only, not other blanks) before it is used, but
// never its first character: "   " becomes " ".
std::string_view StripFallback(std::string_view fallback) {
  size_t end = fallback.size();
  while (end > 1 && fallback[end - 1] == ' ') --end;
  return fallback.substr(0, end);
}

// --- files with a byte-order mark --------------------------------------------------------------
// The system reader decodes a file that starts with a UTF-8 or UTF-16 mark as Unicode and hands
// the answers back through the ANSI code page. We turn such a file into ANSI text up front and
// remember where a character had no exact ANSI form: it comes back as a look-alike or '?', and a
// name holding one can match no query (a query, being ANSI, never contains that character).

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

Encoding DetectEncoding(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Encoding::Utf8;
  if (bytes.substr(0, 2) == "\xFF\xFE") return Encoding::Utf16Le;
  if (bytes.substr(0, 2) == "\xFE\xFF") return Encoding::Utf16Be;
  return Encoding::Ansi;
}

constexpr std::uint32_t kInvalidChar = 0xFFFD;

// One UTF-8 character from pos, decoded the way the system's converter does it: an ill-formed
// sequence yields U+FFFD after consuming its lead byte and each continuation byte that still fit
// (so "\xED\xA0\x80", an encoded surrogate, gives two U+FFFD), and a sequence cut off by the end
// of the file swallows the rest of the file.
std::uint32_t NextUtf8Char(std::string_view bytes, size_t& pos) {
  const unsigned lead = static_cast<unsigned char>(bytes[pos++]);
  if (lead < 0x80) return lead;
  int length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 1;
  if (lead >= 0xE0 && lead <= 0xEF) length = 2;
  if (lead >= 0xF0 && lead <= 0xF4) length = 3;
  if (length == 0) return kInvalidChar;
  if (bytes.size() - pos < static_cast<size_t>(length)) {
    pos = bytes.size();
    return kInvalidChar;
  }
  static const unsigned kLeadMask[4] = {0x7F, 0x1F, 0x0F, 0x07};
  std::uint32_t code = lead & kLeadMask[length];
  for (int left = length; left > 0; --left) {
    const unsigned bits = static_cast<unsigned char>(bytes[pos]) ^ 0x80;
    if (bits >= 0x40) return kInvalidChar;
    code = (code << 6) | bits;
    if (left == 2 && code >= (0x110000 >> 6)) return kInvalidChar;  // past U+10FFFF: not taken
    ++pos;
    if (left == 3 && code < 0x10) return kInvalidChar;                        // overlong
    if (left == 2 && code < 0x20) return kInvalidChar;                        // overlong
    if (left == 2 && code >= (0xD800 >> 6) && code <= (0xDFFF >> 6)) return kInvalidChar;
    if (left == 1 && code < 0x80) return kInvalidChar;                        // overlong
  }
  return code;
}

// 1252's bytes 0x80..0x9F as UTF-16 units; the five bytes the code page leaves undefined stand
// for the control characters of the same number.
const std::uint16_t kHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Characters 1252 lacks but the system's ANSI conversion still writes as a look-alike byte
// (U+0100 as 'A', U+FF21 as 'A', U+2032 as '\''), each as unit << 8 | byte, sorted by unit.
// Taken from WideCharToMultiByte(1252) under Wine 8 for every unit; all others become '?'.
const std::uint32_t kBestFit[] = {
    0x010041, 0x010161, 0x010241, 0x010361, 0x010441, 0x010561, 0x010643, 0x010763, 0x010843,
    0x010963, 0x010A43, 0x010B63, 0x010C43, 0x010D63, 0x010E44, 0x010F64, 0x0110D0, 0x011164,
    0x011245, 0x011365, 0x011445, 0x011565, 0x011645, 0x011765, 0x011845, 0x011965, 0x011A45,
    0x011B65, 0x011C47, 0x011D67, 0x011E47, 0x011F67, 0x012047, 0x012167, 0x012247, 0x012367,
    0x012448, 0x012568, 0x012648, 0x012768, 0x012849, 0x012969, 0x012A49, 0x012B69, 0x012C49,
    0x012D69, 0x012E49, 0x012F69, 0x013049, 0x013169, 0x01344A, 0x01356A, 0x01364B, 0x01376B,
    0x01394C, 0x013A6C, 0x013B4C, 0x013C6C, 0x013D4C, 0x013E6C, 0x01414C, 0x01426C, 0x01434E,
    0x01446E, 0x01454E, 0x01466E, 0x01474E, 0x01486E, 0x014C4F, 0x014D6F, 0x014E4F, 0x014F6F,
    0x01504F, 0x01516F, 0x015452, 0x015572, 0x015652, 0x015772, 0x015852, 0x015972, 0x015A53,
    0x015B73, 0x015C53, 0x015D73, 0x015E53, 0x015F73, 0x016254, 0x016374, 0x016454, 0x016574,
    0x016654, 0x016774, 0x016855, 0x016975, 0x016A55, 0x016B75, 0x016C55, 0x016D75, 0x016E55,
    0x016F75, 0x017055, 0x017175, 0x017255, 0x017375, 0x017457, 0x017577, 0x017659, 0x017779,
    0x01795A, 0x017A7A, 0x017B5A, 0x017C7A, 0x018062, 0x0189D0, 0x019183, 0x019749, 0x019A6C,
    0x019F4F, 0x01A04F, 0x01A16F, 0x01AB74, 0x01AE54, 0x01AF55, 0x01B075, 0x01B67A, 0x01C07C,
    0x01C321, 0x01CD41, 0x01CE61, 0x01CF49, 0x01D069, 0x01D14F, 0x01D26F, 0x01D355, 0x01D475,
    0x01D555, 0x01D675, 0x01D755, 0x01D875, 0x01D955, 0x01DA75, 0x01DB55, 0x01DC75, 0x01DE41,
    0x01DF61, 0x01E447, 0x01E567, 0x01E647, 0x01E767, 0x01E84B, 0x01E96B, 0x01EA4F, 0x01EB6F,
    0x01EC4F, 0x01ED6F, 0x01F06A, 0x026167, 0x02B927, 0x02BA22, 0x02BC27, 0x02C45E, 0x02C827,
    0x02C9AF, 0x02CAB4, 0x02CB60, 0x02CD5F, 0x02DAB0, 0x030060, 0x0301B4, 0x03025E, 0x03037E,
    0x0304AF, 0x0305AF, 0x0308A8, 0x030AB0, 0x030E22, 0x0327B8, 0x03315F, 0x03325F, 0x037E3B,
    0x039347, 0x039854, 0x03A353, 0x03A646, 0x03A94F, 0x03B161, 0x03B2DF, 0x03B464, 0x03B565,
    0x03BCB5, 0x03C070, 0x03C373, 0x03C474, 0x03C666, 0x04BB68, 0x05893A, 0x066A25, 0x200020,
    0x200120, 0x200220, 0x200320, 0x200420, 0x200520, 0x200620, 0x20102D, 0x20112D, 0x20173D,
    0x2024B7, 0x203227, 0x203560, 0x20442F, 0x2070B0, 0x207434, 0x207535, 0x207636, 0x207737,
    0x207838, 0x207F6E, 0x208030, 0x208131, 0x208232, 0x208333, 0x208434, 0x208535, 0x208636,
    0x208737, 0x208838, 0x208939, 0x20A1A2, 0x20A4A3, 0x20A750, 0x210243, 0x210745, 0x210A67,
    0x210B48, 0x210C48, 0x210D48, 0x210E68, 0x211049, 0x211149, 0x21124C, 0x21136C, 0x21154E,
    0x211850, 0x211950, 0x211A51, 0x211B52, 0x211C52, 0x211D52, 0x21245A, 0x21285A, 0x212A4B,
    0x212BC5, 0x212C42, 0x212D43, 0x212E65, 0x212F65, 0x213045, 0x213146, 0x21334D, 0x21346F,
    0x2205D8, 0x22122D, 0x2213B1, 0x22152F, 0x22165C, 0x22172A, 0x2218B0, 0x2219B7, 0x221A76,
    0x221E38, 0x22237C, 0x22296E, 0x22363A, 0x223C7E, 0x224898, 0x22613D, 0x22643D, 0x22653D,
    0x226AAB, 0x226BBB, 0x22C5B7, 0x2302A6, 0x23035E, 0x2310AC, 0x232028, 0x232129, 0x23293C,
    0x232A3E, 0x25002D, 0x2502A6, 0x250C2B, 0x25102B, 0x25142B, 0x25182B, 0x251C2B, 0x2524A6,
    0x252C2D, 0x25342D, 0x253C2B, 0x25502D, 0x2551A6, 0x25522B, 0x25532B, 0x25542B, 0x25552B,
    0x25562B, 0x25572B, 0x25582B, 0x25592B, 0x255A2B, 0x255B2B, 0x255C2B, 0x255D2B, 0x255EA6,
    0x255FA6, 0x2560A6, 0x2561A6, 0x2562A6, 0x2563A6, 0x25642D, 0x25652D, 0x25662D, 0x25672D,
    0x25682D, 0x25692D, 0x256A2B, 0x256B2B, 0x256C2B, 0x2580AF, 0x25845F, 0x2588A6, 0x258CA6,
    0x2590A6, 0x2591A6, 0x2592A6, 0x2593A6, 0x25A0A6, 0x263CA4, 0x27587C, 0x300020, 0x30083C,
    0x30093E, 0x300AAB, 0x300BBB, 0x301A5B, 0x301B5D, 0x30FBB7, 0xFF0121, 0xFF0222, 0xFF0323,
    0xFF0424, 0xFF0525, 0xFF0626, 0xFF0727, 0xFF0828, 0xFF0929, 0xFF0A2A, 0xFF0B2B, 0xFF0C2C,
    0xFF0D2D, 0xFF0E2E, 0xFF0F2F, 0xFF1030, 0xFF1131, 0xFF1232, 0xFF1333, 0xFF1434, 0xFF1535,
    0xFF1636, 0xFF1737, 0xFF1838, 0xFF1939, 0xFF1A3A, 0xFF1B3B, 0xFF1C3C, 0xFF1D3D, 0xFF1E3E,
    0xFF2040, 0xFF2141, 0xFF2242, 0xFF2343, 0xFF2444, 0xFF2545, 0xFF2646, 0xFF2747, 0xFF2848,
    0xFF2949, 0xFF2A4A, 0xFF2B4B, 0xFF2C4C, 0xFF2D4D, 0xFF2E4E, 0xFF2F4F, 0xFF3050, 0xFF3151,
    0xFF3252, 0xFF3353, 0xFF3454, 0xFF3555, 0xFF3656, 0xFF3757, 0xFF3858, 0xFF3959, 0xFF3A5A,
    0xFF3B5B, 0xFF3C5C, 0xFF3D5D, 0xFF3E5E, 0xFF3F5F, 0xFF4060, 0xFF4161, 0xFF4262, 0xFF4363,
    0xFF4464, 0xFF4565, 0xFF4666, 0xFF4767, 0xFF4868, 0xFF4969, 0xFF4A6A, 0xFF4B6B, 0xFF4C6C,
    0xFF4D6D, 0xFF4E6E, 0xFF4F6F, 0xFF5070, 0xFF5171, 0xFF5272, 0xFF5373, 0xFF5474, 0xFF5575,
    0xFF5676, 0xFF5777, 0xFF5878, 0xFF5979, 0xFF5A7A, 0xFF5B7B, 0xFF5C7C, 0xFF5D7D, 0xFF5E7E,
};

// The exact 1252 byte of a UTF-16 unit, or -1 when the code page has none.
int ExactAnsiByte(std::uint32_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<int>(unit);
  for (int i = 0; i < 32; ++i) {
    if (kHighHalf[i] == unit) return 0x80 + i;
  }
  return -1;
}

int BestFitAnsiByte(std::uint32_t unit) {
  const std::uint32_t* end = kBestFit + sizeof kBestFit / sizeof kBestFit[0];
  const std::uint32_t* it = std::lower_bound(kBestFit, end, unit << 8);
  if (it != end && (*it >> 8) == unit) return static_cast<int>(*it & 0xFF);
  return '?';
}

// The decoded text holds '?' wherever a character had no exact ANSI form, so that a look-alike
// '=', ']', quote or blank cannot change how a line is read; the look-alike bytes are put in only
// where a name or value is handed out.
struct AnsiText {
  std::string text;
  std::vector<IniDocument::LookAlike> foreign;  // (offset into text, byte handed out), in order
};

void AppendUnit(AnsiText& out, std::uint32_t unit) {
  int byte = ExactAnsiByte(unit);
  if (byte < 0) {
    out.foreign.emplace_back(out.text.size(), static_cast<char>(BestFitAnsiByte(unit)));
    byte = '?';
  }
  out.text.push_back(static_cast<char>(byte));
}

AnsiText DecodeUtf8(std::string_view bytes) {
  AnsiText out;
  size_t pos = 0;
  while (pos < bytes.size()) {
    std::uint32_t code = NextUtf8Char(bytes, pos);
    if (code > 0xFFFF) {  // a surrogate pair: two units, neither with an ANSI form
      AppendUnit(out, 0xD800 + ((code - 0x10000) >> 10));
      AppendUnit(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      AppendUnit(out, code);
    }
  }
  return out;
}

// A last odd byte is taken as a unit of its own.
AnsiText DecodeUtf16(std::string_view bytes, bool bigEndian) {
  AnsiText out;
  for (size_t pos = 0; pos < bytes.size(); pos += 2) {
    unsigned first = static_cast<unsigned char>(bytes[pos]);
    unsigned second = pos + 1 < bytes.size() ? static_cast<unsigned char>(bytes[pos + 1]) : 0;
    AppendUnit(out, bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return out;
}

AnsiText DecodeMarked(std::string_view bytes, Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8: return DecodeUtf8(bytes.substr(3));
    case Encoding::Utf16Le: return DecodeUtf16(bytes.substr(2), false);
    case Encoding::Utf16Be: return DecodeUtf16(bytes.substr(2), true);
    case Encoding::Ansi: break;
  }
  return AnsiText{std::string(bytes), {}};
}

}  // namespace

// Walks the text line by line and fills the section and entry lists, mirroring how the system
// reader builds its in-memory tree.
class IniDocument::Builder {
 public:
  Builder(IniDocument& doc, const std::vector<LookAlike>& foreign) : doc_(doc), foreign_(foreign) {
    doc_.sections_.emplace_back();
  }

  void Run() {
    const std::string_view text = doc_.text_;
    doc_.entries_.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    size_t pos = 0;
    while (pos < text.size()) {
      size_t start = pos;
      while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
      std::string_view line = TrimBlanks(text.substr(start, pos - start));
      while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
      if (line.empty()) continue;
      if (line[0] == '[' && StartSection(line)) continue;
      AddKeyLine(line);
    }
    // The look-alike bytes go in only now: while the lines were read, a look-alike '=', ']',
    // quote or blank had to count as the '?' that stood in for it.
    for (const auto& [offset, byte] : foreign_) doc_.text_[offset] = byte;
  }

 private:
  // A line that starts with '[' and has a ']' somewhere opens a section named by the text
  // between the '[' and the last ']'; anything after that ']' is ignored. Without a ']' the line
  // is an ordinary key line.
  bool StartSection(std::string_view line) {
    size_t close = line.rfind(']');
    if (close == std::string_view::npos) return false;
    Section section;
    std::string_view name = CutAtNul(TrimBlanks(line.substr(1, close - 1)));
    section.name = SpanOf(name);
    section.matchable = !HoldsForeign(name);
    section.firstEntry = doc_.entries_.size();
    doc_.sections_.push_back(section);
    previousNameEmpty_ = false;
    hasPrevious_ = false;
    return true;
  }

  // "name = value" with blanks around both trimmed at the first '='; a line without '=' is a
  // name without value. Of several consecutive lines with an empty name only the first is kept.
  void AddKeyLine(std::string_view line) {
    size_t eq = line.find('=');
    std::string_view name = line;
    std::string_view value;
    if (eq != std::string_view::npos) {
      name = TrimBlanks(line.substr(0, eq));
      value = TrimBlanks(line.substr(eq + 1));
    }
    if (name.empty() && hasPrevious_ && previousNameEmpty_) return;
    Entry entry;
    name = CutAtNul(name);
    entry.name = SpanOf(name);
    entry.matchable = !HoldsForeign(name);
    entry.comment = !name.empty() && name[0] == ';';
    entry.hasValue = eq != std::string_view::npos;
    if (entry.hasValue) {
      value = CutAtNul(value);
      entry.value = SpanOf(value);
      entry.quoted = IsQuoted(value);
    }
    previousNameEmpty_ = name.empty();
    hasPrevious_ = true;
    doc_.entries_.push_back(entry);
    ++doc_.sections_.back().entryCount;
  }

  Span SpanOf(std::string_view part) const {
    return Span{static_cast<size_t>(part.data() - doc_.text_.data()), part.size()};
  }

  // Whether part (a piece of the text) holds a character that had no exact ANSI form.
  bool HoldsForeign(std::string_view part) const {
    if (foreign_.empty()) return false;
    const size_t begin = static_cast<size_t>(part.data() - doc_.text_.data());
    auto it = std::lower_bound(foreign_.begin(), foreign_.end(), begin,
                               [](const LookAlike& item, size_t offset) { return item.first < offset; });
    return it != foreign_.end() && it->first < begin + part.size();
  }

  IniDocument& doc_;
  const std::vector<LookAlike>& foreign_;
  bool hasPrevious_ = false;
  bool previousNameEmpty_ = false;
};

bool IniDocument::Indexed::operator<(const Indexed& other) const {
  if (owner != other.owner) return owner < other.owner;
  if (hash != other.hash) return hash < other.hash;
  return index < other.index;
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  Encoding encoding = DetectEncoding(bytes);
  if (encoding == Encoding::Ansi) {
    doc.text_ = std::string(bytes);
    Builder(doc, {}).Run();
  } else {
    AnsiText decoded = DecodeMarked(bytes, encoding);
    doc.text_ = std::move(decoded.text);
    Builder(doc, decoded.foreign).Run();
  }
  doc.BuildIndex();
  return doc;
}

void IniDocument::BuildIndex() {
  sectionsByName_.clear();
  entriesByName_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) {
    const Section& section = sections_[i];
    if (section.matchable) sectionsByName_.push_back({0, FoldedHash(Text(section.name)), i});
    for (size_t e = section.firstEntry; e < section.firstEntry + section.entryCount; ++e) {
      if (entries_[e].matchable) entriesByName_.push_back({i, FoldedHash(Text(entries_[e].name)), e});
    }
  }
  std::sort(sectionsByName_.begin(), sectionsByName_.end());
  std::sort(entriesByName_.begin(), entriesByName_.end());
}

// Equal hashes sort by position, so the first name that matches is the first in the file.
const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
  const Indexed wanted{0, FoldedHash(name), 0};
  for (auto it = std::lower_bound(sectionsByName_.begin(), sectionsByName_.end(), wanted);
       it != sectionsByName_.end() && it->hash == wanted.hash; ++it) {
    if (EqualFolded(Text(sections_[it->index].name), name)) return &sections_[it->index];
  }
  return nullptr;
}

// Only the first section of a name is searched: keys of a later section with the same name are
// never found, exactly as with the system reader.
const IniDocument::Entry* IniDocument::FindEntry(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(TrimBlanks(CutAtNul(section)));
  if (!found) return nullptr;
  const std::string_view name = TrimBlanks(CutAtNul(key));
  const Indexed wanted{static_cast<size_t>(found - sections_.data()), FoldedHash(name), 0};
  for (auto it = std::lower_bound(entriesByName_.begin(), entriesByName_.end(), wanted);
       it != entriesByName_.end() && it->owner == wanted.owner && it->hash == wanted.hash; ++it) {
    if (EqualFolded(Text(entries_[it->index].name), name)) return &entries_[it->index];
  }
  return nullptr;
}

std::string IniDocument::Get(std::string_view section, std::string_view key, std::string_view fallback,
                             int bufferSize) const {
  if (bufferSize <= 0) return std::string();
  const Entry* entry = FindEntry(section, key);
  if (entry && entry->hasValue) return CopyToBuffer(Text(entry->value), bufferSize, entry->quoted);
  const std::string_view stripped = StripFallback(CutAtNul(fallback));
  return CopyToBuffer(stripped, bufferSize, IsQuoted(stripped));
}

bool IniDocument::Has(std::string_view section, std::string_view key) const {
  const Entry* entry = FindEntry(section, key);
  return entry && entry->hasValue;
}

std::vector<std::string> IniDocument::Sections() const {
  std::vector<std::string> names;
  for (const Section& section : sections_) {
    if (section.name.size > 0) names.emplace_back(Text(section.name));
  }
  return names;
}

// The system reader hands the list over as NUL-separated names ending in an empty one, so a key
// with an empty name ends the list for every caller; later keys are not seen.
std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> names;
  const Section* found = FindSection(CutAtNul(section));
  if (!found) return names;
  for (size_t e = found->firstEntry; e < found->firstEntry + found->entryCount; ++e) {
    const Entry& entry = entries_[e];
    if (!entry.hasValue || entry.comment) continue;
    if (entry.name.size == 0) break;
    names.emplace_back(Text(entry.name));
  }
  return names;
}

}  // namespace tw
