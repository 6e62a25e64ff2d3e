#include "skin/skin_label.h"

#include "project/project_settings.h"
#include "skin/layout_file.h"
#include "skin/skin_kinds.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

constexpr ColorRef kBlack = MakeColor(0, 0, 0);
constexpr ColorRef kLinkBlue = MakeColor(0, 0, 255);
constexpr char kLinkColorText[] = "0,0,255";
constexpr char kWhiteText[] = "255,255,255";
constexpr size_t kTextColorValue = 3;

// The designer writes "0 - Center", "1 - Left" or "2 - Right"; an empty value counts as "0".
std::string AlignmentName(const std::string& value) {
  char code = value.empty() ? '0' : value[0];
  switch (code) {
    case '0': return "Center";
    case '1': return "Left";
    case '2': return "Right";
    default: return std::string();
  }
}

}  // namespace

CSkinLabel::CSkinLabel(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {
  look_.text = StartText(record);
  look_.textColor = kBlack;
  look_.border = record.kind == "HOTSPOT" || record.kind == "ANIMATION";
  if (record.kind == "ANIMATION") look_.textFormat = kTextCenter | kTextWordBreak;
}

void CSkinLabel::ApplyProperties(CSkinPage& page) {
  SetUpForKind(page);
  if (record_.kind == "TEXT")
    ApplyText(page);
  else if (record_.kind == "RECT")
    SetFillColor(record_.Value(1), page.FaceColor());
  else if (record_.kind == "LISTVIEW")
    ApplyListView();
}

// The start look that needs the page: every label starts on the face colour, unfilled, except the
// white shapes and lists; a font built later starts from the page font's face and size.
void CSkinLabel::SetUpForKind(CSkinPage& page) {
  font_ = FontSpec{page.PageFont().face, page.PageFont().pointSize, false, false, false};
  Update([&](WidgetLook& look) { look.fillColor = page.FaceColor(); });
  if (record_.kind == "RECT" || record_.kind == "LISTVIEW") SetFillColor(kWhiteText, page.FaceColor());
}

// The order matters: the link look comes last so that it wins over value 3's colour.
void CSkinLabel::ApplyText(CSkinPage& page) {
  TakeNameFromValueZero(record_);
  SetLabelFont(record_.Value(5), ToNumber(record_.Value(6)), IsNotNo(record_.Value(7)), IsNotNo(record_.Value(8)));
  SetText(page.ExpandPlaceholders(record_.Value(1)));
  SetAlignment(AlignmentName(record_.Value(2)));
  SetFillColor(record_.Value(4), page.FaceColor());
  // A missing text colour has no components, so it reads as black rather than the face colour.
  const std::string& color = record_.Value(kTextColorValue);
  SetTextColor(color.empty() ? kBlack : ParseColor(color, page.FaceColor()));
  bool link = IsYes(record_.Value(9));
  SetLink(link);
  // Whoever reads the record's text colour later sees the colour the link is drawn in.
  if (link && record_.properties.size() > kTextColorValue) record_.properties[kTextColorValue].value = kLinkColorText;
}

void CSkinLabel::ApplyListView() {
  const std::string& style = record_.Value(2);
  if (style.empty() || (style[0] != '0' && style[0] != '1')) return;
  Update([&](WidgetLook& look) { look.border = style[0] == '1'; });
}

void CSkinLabel::SetLabelFont(const std::string& face, int points, bool bold, bool italic) {
  font_ = FontSpec{face, points, bold, italic, false};
  ShowFont();
}

void CSkinLabel::SetAlignment(const std::string& name) {
  unsigned format;
  if (name == "Left")
    format = kTextWordBreak;
  else if (name == "Center")
    format = kTextWordBreak | kTextCenter;
  else if (name == "Right")
    format = kTextWordBreak | kTextRight;
  else
    return;
  Update([&](WidgetLook& look) { look.textFormat = format; });
}

void CSkinLabel::SetTextColor(ColorRef color) {
  Update([&](WidgetLook& look) { look.textColor = color; });
}

// A label that names the face colour by its components is meant to let the page show through; the
// keyword "COLOR_BTNFACE" (or nothing) asks for a solid face-coloured background.
void CSkinLabel::SetFillColor(const std::string& colorText, ColorRef faceColor) {
  bool filled = colorText != ColorText(faceColor);
  ColorRef fill = ParseColor(colorText, faceColor);
  Update([&](WidgetLook& look) {
    look.filled = filled;
    look.fillColor = fill;
  });
}

void CSkinLabel::SetLink(bool link) {
  isLink_ = link;
  if (link) Update([](WidgetLook& look) { look.textColor = kLinkBlue; });
  ShowFont();
}

void CSkinLabel::ShowFont() {
  FontSpec font = font_;
  font.underline = isLink_;
  Update([&](WidgetLook& look) { look.font = font; });
}

}  // namespace tw
