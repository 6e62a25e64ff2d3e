// CSkinButton: the push buttons and group boxes of a skinned page, with their own font and colours.
#pragma once
#include <string>

#include "skin/skin_control.h"

namespace tw {

// BUTTON and GROUPBOX.
class CSkinButton : public SkinControl {
 public:
  CSkinButton(ControlRecord& record, Widget& widget);

  void ApplyProperties(CSkinPage& page) override;

  void SetButtonFont(const std::string& face, int points, bool bold, bool italic);
  // "COLOR_BTNFACE" or "r,g,b"; empty means the face colour. From then on the button also draws
  // its text in its own text colour (black) instead of the system's.
  void SetBackColor(const std::string& colorText, ColorRef faceColor);

 private:
  void ApplyButton(CSkinPage& page);
  void ApplyGroupBox(CSkinPage& page);

  ColorRef textColor_ = MakeColor(0, 0, 0);
};

}  // namespace tw
