#include "skin/layout_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "project/project_settings.h"

namespace tw {
namespace {

constexpr int kLayoutBuffer = 255;
constexpr size_t kMaxFields = 20;
// A file can claim any count; more lines than this are never read (a page holds 70 controls).
constexpr int kMaxLinesRead = 4096;
// Coordinates beyond this are nonsense, and clamping keeps x + width from overflowing.
constexpr long kMaxCoordinate = 1000000;

// Leading blanks, an optional sign, leading digits; 0 when none; clamped.
int ToCoordinate(const std::string& text) {
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0;
  bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(kMaxCoordinate, value * 10 + (text[i] - '0'));
  return static_cast<int>(negative ? -value : value);
}

// Splits at the first separator: no separator gives an empty first part and the whole text after.
std::pair<std::string, std::string> SplitAt(const std::string& text, char separator) {
  size_t at = text.find(separator);
  if (at == std::string::npos) return {"", text};
  return {text.substr(0, at), text.substr(at + 1)};
}

std::string Field(const std::vector<std::string>& fields, size_t index) {
  return index < fields.size() ? fields[index] : std::string();
}

WindowSettings ReadWindowSettings(const IniDocument& file) {
  auto key = [&](const char* name) { return file.Get("MAINWINDOW", name, "", kLayoutBuffer); };
  WindowSettings window;
  window.idcname = key("idcname");
  window.caption = key("caption");
  window.bkcolor = key("bkcolor");
  window.border = key("border");
  window.bkimage = WithoutBraces(key("bkimage"));
  window.soundfile = WithoutBraces(key("soundfile"));
  window.startup = key("startup");
  window.minwindow = key("minwindow");
  window.maxwindow = key("maxwindow");
  window.closewindow = key("closewindow");
  window.width = ToCoordinate(key("width"));
  window.height = ToCoordinate(key("height"));
  window.fontName = key("fontname");
  window.fontSize = ToNumber(key("fontsize"));
  window.fontBold = IsNotNo(key("fontbold"));
  window.fontItalic = IsNotNo(key("fontitalic"));
  return window;
}

std::vector<Property> ReadBlock(const IniDocument& file, int block, const std::string& folder) {
  const std::string prefix = std::to_string(block) + ",";
  int count = ToNumber(file.Get("DADOS", prefix + "t", "", kLayoutBuffer));
  std::vector<Property> properties;
  // A block claiming more lines than a control can hold keeps none of them.
  if (count > kMaxProperties) return properties;
  for (int j = 0; j < count; ++j)
    properties.push_back(ParsePropertyLine(file.Get("DADOS", prefix + std::to_string(j), "", kLayoutBuffer), folder));
  return properties;
}

ControlLine ReadControlLine(const IniDocument& file, int index, const std::string& folder) {
  std::vector<std::string> fields = SplitControlLine(file.Get("INFO", std::to_string(index), "", kLayoutBuffer));
  ControlLine line;
  int x = ToCoordinate(Field(fields, 1)), y = ToCoordinate(Field(fields, 2));
  line.rect = {x, y, x + ToCoordinate(Field(fields, 3)), y + ToCoordinate(Field(fields, 4))};
  line.kind = Field(fields, 5);
  line.imageFile = folder + WithoutBraces(Field(fields, 6));
  line.block = ToNumber(Field(fields, 8));
  line.properties = ReadBlock(file, line.block, folder);
  return line;
}

}  // namespace

std::vector<std::string> SplitControlLine(const std::string& line) {
  std::vector<std::string> fields;
  std::string current;
  bool justCut = false;
  for (char c : line) {
    if (c == ',' && !justCut && fields.size() + 1 < kMaxFields) {
      fields.push_back(current);
      current.clear();
      justCut = true;
      continue;
    }
    current += c;
    justCut = false;
  }
  fields.push_back(current);
  return fields;
}

std::string WithoutBraces(const std::string& value) {
  std::string out;
  for (char c : value)
    if (c != '{' && c != '}') out += c;
  return out;
}

std::string FileValue(const std::string& value, const std::string& folder) {
  if (value.find('{') == std::string::npos) return value;
  return folder + WithoutBraces(value);
}

Property ParsePropertyLine(const std::string& line, const std::string& folder) {
  auto [name, rest] = SplitAt(line, '|');
  auto [value, tail] = SplitAt(rest, '|');
  tail.erase(std::remove(tail.begin(), tail.end(), '|'), tail.end());
  return Property{name, FileValue(value, folder), ToNumber(tail)};
}

ColorRef ParseColor(const std::string& text, ColorRef faceColor) {
  if (text.empty() || text == "COLOR_BTNFACE") return faceColor;
  unsigned parts[3] = {0, 0, 0};
  std::string rest = text;
  for (unsigned& part : parts) {
    size_t comma = rest.find(',');
    part = static_cast<unsigned>(ToNumber(rest.substr(0, comma)));
    rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
  }
  return MakeColor(parts[0], parts[1], parts[2]);
}

std::string ColorText(ColorRef color) {
  char text[16];
  std::snprintf(text, sizeof text, "%u,%u,%u", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  return text;
}

PageLayout ReadLayout(const IniDocument& file, const std::string& folder) {
  PageLayout layout;
  layout.window = ReadWindowSettings(file);
  int total = std::min(ToNumber(file.Get("INFO", "TOTAL", "", kLayoutBuffer)), kMaxLinesRead);
  for (int i = 0; i < total; ++i) layout.lines.push_back(ReadControlLine(file, i, folder));
  return layout;
}

}  // namespace tw
