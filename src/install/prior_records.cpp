#include "install/prior_records.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "platform/text.h"

namespace tw {
namespace {

constexpr char kInstallDirKind[] = "INSTALLDIR";
constexpr char kValueKind[] = "VALUE";
constexpr char kNameKind[] = "NAME";
constexpr char kHexDigits[] = "0123456789abcdef";

// FNV-1a, 32 bits: enough to tell a whole line from a cut or merged one.
uint32_t LineSum(const std::string& text) {
  uint32_t sum = 2166136261u;
  for (unsigned char c : text) sum = (sum ^ c) * 16777619u;
  return sum;
}

std::string SumText(const std::string& text) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(LineSum(text)));
  return digits;
}

// A field may hold any byte but the separators: those, "%" and control characters become "%XX".
std::string Escape(const std::string& field) {
  std::string out;
  for (unsigned char c : field) {
    if (c < 0x20 || c == 0x7f || c == '%') {
      out += '%';
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    int high = HexValue(field[i + 1]), low = HexValue(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::string ToHex(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
  }
  return out;
}

std::optional<std::string> FromHex(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    int high = HexValue(text[i]), low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
  }
  return out;
}

// The fields, escaped and tab-separated, then the sum of all that precedes it.
std::string Record(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) line += Escape(field) + "\t";
  return line + SumText(line) + "\r\n";
}

// The fields of a whole, checked line; nothing when its sum does not match or a field is malformed.
std::optional<std::vector<std::string>> Fields(const std::string& line) {
  size_t cut = line.rfind('\t');
  if (cut == std::string::npos || line.substr(cut + 1) != SumText(line.substr(0, cut + 1))) return std::nullopt;
  std::vector<std::string> fields;
  for (size_t begin = 0; begin <= cut;) {
    size_t tab = line.find('\t', begin);
    std::optional<std::string> field = Unescape(line.substr(begin, tab - begin));
    if (!field) return std::nullopt;
    fields.push_back(*field);
    begin = tab + 1;
  }
  return fields;
}

bool IsHeader(const std::string& line) {
  const std::string prefix = std::string(kPriorHeader).substr(0, std::string(kPriorHeader).find(' ') + 1);
  return line.size() > prefix.size() && line.compare(0, prefix.size(), prefix) == 0 &&
         line.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

bool TakeRecord(PriorRecords& records, const std::vector<std::string>& fields) {
  if (fields[0] == kInstallDirKind && fields.size() == 2) {
    records.installDir = fields[1];
    return true;
  }
  if (fields[0] == kNameKind && fields.size() == 4) {
    records.names[Lower(fields[1])] = {fields[1], fields[2], fields[3]};
    return true;
  }
  if (fields[0] != kValueKind || fields.size() != 6) return false;
  std::optional<std::string> data = FromHex(fields[5]);
  if (!data || fields[4].empty() || fields[4].find_first_not_of("0123456789") != std::string::npos ||
      fields[4].size() > 10)
    return false;
  PriorValue value{fields[1], fields[2], fields[3], {static_cast<uint32_t>(std::stoull(fields[4])), *data}};
  records.values[Lower(value.logged)] = value;
  return true;
}

}  // namespace

const PriorValue* PriorRecords::Find(const std::string& logged) const {
  auto found = values.find(Lower(logged));
  return found == values.end() ? nullptr : &found->second;
}

std::optional<ValueName> PriorRecords::Split(const std::string& logged) const {
  if (const PriorValue* value = Find(logged)) return ValueName{logged, value->key, value->name};
  if (auto found = names.find(Lower(logged)); found != names.end()) return found->second;
  size_t cut = logged.rfind('\\');
  if (cut == std::string::npos) return std::nullopt;
  return ValueName{logged, logged.substr(0, cut), logged.substr(cut + 1)};
}

std::string FormatPriorHeader() { return std::string(kPriorHeader) + "\r\n"; }

std::string FormatInstallDirRecord(const std::string& installDir) { return Record({kInstallDirKind, installDir}); }

std::string FormatValueRecord(const PriorValue& value) {
  return Record({kValueKind, value.logged, value.key, value.name, std::to_string(value.value.type),
                 ToHex(value.value.data)});
}

std::string FormatNameRecord(const ValueName& name) { return Record({kNameKind, name.logged, name.key, name.name}); }

PriorRecords ParsePriorRecords(const std::string& text) {
  PriorRecords records;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find('\n', begin);
    // A line without its end was cut short by the write that should have finished it.
    if (end == std::string::npos || end == begin || text[end - 1] != '\r') {
      ++records.skipped;
      if (end == std::string::npos) break;
      begin = end + 1;
      continue;
    }
    const std::string line = text.substr(begin, end - 1 - begin);
    begin = end + 1;
    if (!records.headerSeen) {
      // Without its header the file is not one of ours: nothing in it is taken.
      if (!IsHeader(line)) return PriorRecords{false, "", {}, {}, records.skipped + 1};
      records.headerSeen = true;
      continue;
    }
    std::optional<std::vector<std::string>> fields = Fields(line);
    if (!fields || fields->empty() || !TakeRecord(records, *fields)) ++records.skipped;
  }
  return records;
}

}  // namespace tw
