// The base of every skinned control: its record, its widget and the look it last gave the widget.
// Each kind's class decides its look from the record's properties.
#pragma once
#include <memory>
#include <string>

#include "platform/page_ui.h"
#include "skin/control_record.h"

namespace tw {

class CSkinPage;

class SkinControl {
 public:
  SkinControl(ControlRecord& record, Widget& widget) : record_(record), widget_(widget) {}
  virtual ~SkinControl() = default;
  SkinControl(const SkinControl&) = delete;
  SkinControl& operator=(const SkinControl&) = delete;

  // Applies the record's positional properties (once, after every control of the page exists).
  virtual void ApplyProperties(CSkinPage& page) = 0;
  // The page was clicked on this control: a check box flips its mark; others ignore it.
  virtual void Toggle() {}
  // A tree's selection moved to item (the feature tree answers with its menu).
  virtual void OnSelectionChanged(CSkinPage& page, int item) {}

  ControlRecord& Record() { return record_; }
  const ControlRecord& Record() const { return record_; }
  Widget& GetWidget() { return widget_; }
  const WidgetLook& Look() const { return look_; }
  // Changes the look and shows it.
  template <typename Change>
  void Update(Change change) {
    change(look_);
    widget_.Apply(look_);
  }
  void SetText(const std::string& text) {
    Update([&](WidgetLook& look) { look.text = text; });
  }
  void SetEnabled(bool enabled) {
    Update([&](WidgetLook& look) { look.enabled = enabled; });
  }
  void SetVisible(bool visible) {
    Update([&](WidgetLook& look) { look.visible = visible; });
  }

 protected:
  ControlRecord& record_;
  Widget& widget_;
  WidgetLook look_;
};

// How a kind is created: its widget, the rule for a too-small size, its start text and font.
struct KindInfo {
  const char* kind;
  const char* defaultName;  // with %i for the kind index plus 1
  bool valueZeroIsName;
  WidgetKind widget;
  const char* initialText;  // with %i for the kind index plus 1; empty for none
  bool pageFont;            // starts with the page font
  int minHeight;            // a control narrower than 30 and lower than this is made 90 by 25
};

// The table of the 18 kinds; null for an unknown kind.
const KindInfo* FindKind(const std::string& kind);
// The record's default name or start text for its kind index ("%i" replaced by index + 1).
std::string NumberedText(const char* pattern, int kindIndex);

// Makes the control of the record's kind around an already created widget.
std::unique_ptr<SkinControl> MakeSkinControl(ControlRecord& record, Widget& widget);

}  // namespace tw
