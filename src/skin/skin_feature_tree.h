// CSkinFeatureTree: the custom setup page's feature tree. Selecting a feature shows its description
// and offers the install / do-not-install menu, whose choice goes to the feature table.
#pragma once
#include <string>
#include <vector>

#include "skin/skin_control.h"

namespace tw {

constexpr int kFeatureMenuInstall = 32773;
constexpr int kFeatureMenuSkip = 32774;
constexpr int kFeatureImageInstall = 0;
constexpr int kFeatureImageSkip = 1;

// TREEVIEW.
class CSkinFeatureTree : public SkinControl {
 public:
  CSkinFeatureTree(ControlRecord& record, Widget& widget) : SkinControl(record, widget) {}

  void ApplyProperties(CSkinPage& page) override;
  // The selection moved to item, by mouse or keyboard: description, menu, choice.
  void OnSelectionChanged(CSkinPage& page, int item) override;

  // Replaces the entries, each a top-level feature shown as installed.
  void SetItems(const std::vector<std::string>& features);
  // Appends one top-level feature shown as installed.
  void AddItem(const std::string& feature);
  const std::vector<std::string>& Items() const { return items_; }
  // The image an entry shows (0 installed, 1 not); -1 for no such entry.
  int ItemImage(int item) const;
  // Shows an entry with this image, as the feature's state stands when the page is shown again.
  void SetItemImage(int item, int image);

 private:
  bool IsItem(int item) const { return item >= 0 && static_cast<size_t>(item) < items_.size(); }
  void ShowDescription(CSkinPage& page, const std::string& feature);
  void ApplyMenuChoice(CSkinPage& page, int item, int command);

  std::vector<std::string> items_;
  std::vector<int> images_;
};

}  // namespace tw
