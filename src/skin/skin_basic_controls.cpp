#include "skin/skin_basic_controls.h"

#include "skin/skin_kinds.h"

namespace tw {
namespace {

// A closed drop-down list is its selection field plus the frame around it.
constexpr int kComboFrameHeight = 9;

}  // namespace

// Values 1, 2 and 4 (text, a flag, read-only) are kept with the record for the standard pages.
void CSkinTextBox::ApplyProperties(CSkinPage& page) { TakeNameFromValueZero(record_); }

CSkinComboBox::CSkinComboBox(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {
  record.rect.bottom = record.rect.top + widget.SelectionFieldHeight() + kComboFrameHeight;
}

void CSkinComboBox::ApplyProperties(CSkinPage& page) { TakeNameFromValueZero(record_); }

CSkinProgress::CSkinProgress(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {
  look_.text = StartText(record);
}

void CSkinProgress::ApplyProperties(CSkinPage& page) { TakeNameFromValueZero(record_); }

void CSkinProgress::SetRange(int maximum) {
  int range = static_cast<int>(static_cast<unsigned>(maximum) & 0xFFFFu);
  Update([&](WidgetLook& look) { look.rangeMax = range; });
}

void CSkinProgress::SetPos(int position) {
  Update([&](WidgetLook& look) { look.position = position; });
}

void CSkinRichText::ApplyProperties(CSkinPage& page) { TakeNameFromValueZero(record_); }

void CSkinRichText::StreamIn(const std::string& richText) {
  content_ = richText;
  widget_.StreamIn(content_);
}

}  // namespace tw
