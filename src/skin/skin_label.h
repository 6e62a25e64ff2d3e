// CSkinLabel and CSkinFrame: the self-painted texts, flat shapes and outlines of a skinned page.
// None of them reacts to the mouse.
#pragma once
#include <string>

#include "skin/skin_control.h"

namespace tw {

// TEXT, RECT, HOTSPOT, ANIMATION and LISTVIEW.
class CSkinLabel : public SkinControl {
 public:
  CSkinLabel(ControlRecord& record, Widget& widget);

  void ApplyProperties(CSkinPage& page) override;

  // The label's own font; underlined while the label is a link.
  void SetLabelFont(const std::string& face, int points, bool bold, bool italic);
  // "Left", "Center" or "Right" (word-wrapped); any other name keeps the alignment.
  void SetAlignment(const std::string& name);
  void SetTextColor(ColorRef color);
  // "COLOR_BTNFACE" or "r,g,b"; empty means the face colour. The label fills its background
  // unless the text spells out the face colour's own components.
  void SetFillColor(const std::string& colorText, ColorRef faceColor);
  // A link is blue and underlined; leaving the link look keeps the text colour it had.
  void SetLink(bool link);

  bool IsLink() const { return isLink_; }

 private:
  void SetUpForKind(CSkinPage& page);
  void ApplyText(CSkinPage& page);
  void ApplyListView();
  void ShowFont();

  FontSpec font_;
  bool isLink_ = false;
};

// FRAME: an etched outline and nothing else.
class CSkinFrame : public SkinControl {
 public:
  CSkinFrame(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {}
  void ApplyProperties(CSkinPage& page) override {}
};

}  // namespace tw
