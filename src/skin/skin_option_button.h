// CSkinOptionButton: the radio areas and check boxes of a skinned page. A check box's mark belongs
// to this model; only the page changes it, once per click.
#pragma once
#include <string>

#include "skin/skin_control.h"

namespace tw {

// RADIO and CHECKBOX.
class CSkinOptionButton : public SkinControl {
 public:
  CSkinOptionButton(ControlRecord& record, Widget& widget);

  void ApplyProperties(CSkinPage& page) override;

  // "COLOR_BTNFACE" or "r,g,b"; empty means the face colour.
  void SetBackColor(const std::string& colorText, ColorRef faceColor);
  void SetTextColor(const std::string& colorText, ColorRef faceColor);

  bool IsChecked() const { return look_.checked; }
  void SetChecked(bool checked);
  // A check box click: a set mark is cleared, a clear mark is set. A radio area has no mark.
  void Toggle() override;

 private:
  void ApplyRadio(CSkinPage& page);
  void ApplyCheckBox(CSkinPage& page);
};

}  // namespace tw
