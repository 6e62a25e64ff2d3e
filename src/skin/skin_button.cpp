#include "skin/skin_button.h"

#include "project/project_settings.h"
#include "skin/layout_file.h"
#include "skin/skin_kinds.h"
#include "skin/skin_page.h"

namespace tw {

CSkinButton::CSkinButton(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {
  look_.text = StartText(record);
}

void CSkinButton::ApplyProperties(CSkinPage& page) {
  if (record_.kind == "GROUPBOX")
    ApplyGroupBox(page);
  else
    ApplyButton(page);
}

// Value 2 (the alignment) is read by the designer only; push buttons keep the system's centring.
void CSkinButton::ApplyButton(CSkinPage& page) {
  TakeNameFromValueZero(record_);
  SetText(page.ExpandPlaceholders(record_.Value(1)));
  SetButtonFont(record_.Value(3), ToNumber(record_.Value(4)), IsNotNo(record_.Value(5)), IsNotNo(record_.Value(6)));
  record_.clickAction = record_.Value(7);
  record_.clickTarget = record_.Value(8);
}

// A group box caption is shown exactly as the author wrote it.
void CSkinButton::ApplyGroupBox(CSkinPage& page) {
  SetText(record_.Value(1));
  SetBackColor(record_.Value(2), page.FaceColor());
}

void CSkinButton::SetButtonFont(const std::string& face, int points, bool bold, bool italic) {
  Update([&](WidgetLook& look) { look.font = FontSpec{face, points, bold, italic, false}; });
}

void CSkinButton::SetBackColor(const std::string& colorText, ColorRef faceColor) {
  Update([&](WidgetLook& look) {
    look.backColor = ParseColor(colorText, faceColor);
    look.textColor = textColor_;
  });
}

}  // namespace tw
