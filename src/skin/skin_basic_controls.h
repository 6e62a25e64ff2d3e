// The page controls that are standard Windows controls with hardly any skinning: text boxes, drop-
// down lists, progress bars and rich-text boxes. The standard pages fill them by name.
#pragma once
#include <string>
#include <vector>

#include "skin/skin_control.h"

namespace tw {

// TEXTBOX: starts empty whatever its properties say; the standard pages fill it.
class CSkinTextBox : public SkinControl {
 public:
  CSkinTextBox(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {}
  void ApplyProperties(CSkinPage& page) override;
  // The text as the user left it.
  std::string Text() const { return widget_.ReadText(); }
};

// COMBOBOX: a drop-down list. Its record keeps the closed height, not the line's dropped height.
class CSkinComboBox : public SkinControl {
 public:
  CSkinComboBox(ControlRecord& record, Widget& widget);
  void ApplyProperties(CSkinPage& page) override;

  void SetEntries(const std::vector<std::string>& entries) { widget_.SetItems(entries); }
  void SelectEntry(int index) { widget_.SelectItem(index); }
  // The entry the user chose; empty when none is.
  std::string SelectedText() const { return widget_.ReadText(); }
};

// PROGRESS: a bar from 0 to a 16-bit maximum.
class CSkinProgress : public SkinControl {
 public:
  CSkinProgress(ControlRecord& record, Widget& widget);
  void ApplyProperties(CSkinPage& page) override;

  // The bar holds only 16 bits of its maximum: 70000 becomes 4464.
  void SetRange(int maximum);
  void SetPos(int position);
};

// RICHTEXT: a rich edit box the standard pages stream a file or a text into.
class CSkinRichText : public SkinControl {
 public:
  CSkinRichText(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {}
  void ApplyProperties(CSkinPage& page) override;

  // Replaces the content with rich text (or plain text).
  void StreamIn(const std::string& richText);
  const std::string& Content() const { return content_; }

 private:
  std::string content_;
};

}  // namespace tw
