#include "skin/skin_option_button.h"

#include "skin/layout_file.h"
#include "skin/skin_kinds.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

constexpr ColorRef kWhite = MakeColor(255, 255, 255);
constexpr ColorRef kBlack = MakeColor(0, 0, 0);

// An option button without a text colour writes in black, not in the face colour.
std::string TextColorOrBlack(const std::string& value) { return value.empty() ? "0,0,0" : value; }

}  // namespace

// Until the layout says otherwise an option button is white on black.
CSkinOptionButton::CSkinOptionButton(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {
  look_.text = StartText(record);
  look_.textColor = kWhite;
  look_.backColor = kBlack;
}

void CSkinOptionButton::ApplyProperties(CSkinPage& page) {
  TakeNameFromValueZero(record_);
  if (record_.kind == "RADIO")
    ApplyRadio(page);
  else
    ApplyCheckBox(page);
}

// A radio area draws nothing; its text and colours are kept so that the look is complete.
void CSkinOptionButton::ApplyRadio(CSkinPage& page) {
  SetText(page.ExpandPlaceholders(record_.Value(1)));
  SetBackColor(record_.Value(2), page.FaceColor());
  Update([](WidgetLook& look) { look.textColor = kWhite; });
  SetTextColor(TextColorOrBlack(record_.Value(3)), page.FaceColor());
}

// A check box's text is shown exactly as the author wrote it.
void CSkinOptionButton::ApplyCheckBox(CSkinPage& page) {
  SetText(record_.Value(1));
  SetBackColor(record_.Value(2), page.FaceColor());
  SetTextColor(TextColorOrBlack(record_.Value(3)), page.FaceColor());
}

void CSkinOptionButton::SetBackColor(const std::string& colorText, ColorRef faceColor) {
  Update([&](WidgetLook& look) { look.backColor = ParseColor(colorText, faceColor); });
}

void CSkinOptionButton::SetTextColor(const std::string& colorText, ColorRef faceColor) {
  Update([&](WidgetLook& look) { look.textColor = ParseColor(colorText, faceColor); });
}

void CSkinOptionButton::Toggle() {
  if (record_.kind == "CHECKBOX") SetChecked(!IsChecked());
}

void CSkinOptionButton::SetChecked(bool checked) {
  Update([&](WidgetLook& look) { look.checked = checked; });
}

}  // namespace tw
