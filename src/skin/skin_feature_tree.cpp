#include "skin/skin_feature_tree.h"

#include <algorithm>

#include "project/project_settings.h"
#include "skin/skin_kinds.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

constexpr char kFeatureSection[] = "SETUPTYPE";
constexpr char kFeatureInfoName[] = "IDC_FEATUREINFO";
constexpr int kFeatureStateInstall = 0;
constexpr int kFeatureStateSkip = 255;
// A project never lists this many features; the bound keeps a hostile "TOTAL" from stalling the
// page on every selection.
constexpr int kMaxFeaturesScanned = 10000;

}  // namespace

void CSkinFeatureTree::ApplyProperties(CSkinPage& page) { TakeNameFromValueZero(record_); }

void CSkinFeatureTree::SetItems(const std::vector<std::string>& features) {
  items_ = features;
  images_.assign(items_.size(), kFeatureImageInstall);
  widget_.SetItems(items_);
}

void CSkinFeatureTree::AddItem(const std::string& feature) {
  std::vector<std::string> features = items_;
  features.push_back(feature);
  SetItems(features);
}

int CSkinFeatureTree::ItemImage(int item) const { return IsItem(item) ? images_[static_cast<size_t>(item)] : -1; }

void CSkinFeatureTree::SetItemImage(int item, int image) {
  if (!IsItem(item)) return;
  images_[static_cast<size_t>(item)] = image;
  widget_.SetItemImage(item, image);
}

// The menu opens on every selection change, so a keyboard user gets it too.
void CSkinFeatureTree::OnSelectionChanged(CSkinPage& page, int item) {
  if (!IsItem(item) || items_[static_cast<size_t>(item)].empty()) return;
  ShowDescription(page, items_[static_cast<size_t>(item)]);
  ApplyMenuChoice(page, item, page.Window().FeatureMenu());
}

// The description goes to the page that shows this tree, which after Back is not the page the
// wizard last moved to; when two features share a name the last one's description stays.
void CSkinFeatureTree::ShowDescription(CSkinPage& page, const std::string& feature) {
  const ProjectSettings& settings = page.Host().Settings();
  int total = std::min(settings.ReadCount(kFeatureSection), kMaxFeaturesScanned);
  for (int i = 0; i < total; ++i) {
    std::string index = std::to_string(i);
    if (settings.ReadSetting(kFeatureSection, "FeatureName" + index) != feature) continue;
    if (SkinControl* info = page.ControlByName(kFeatureInfoName)) info->SetText(settings.ReadSetting(kFeatureSection, "Description" + index));
  }
}

void CSkinFeatureTree::ApplyMenuChoice(CSkinPage& page, int item, int command) {
  int state, image;
  if (command == kFeatureMenuInstall) {
    state = kFeatureStateInstall;
    image = kFeatureImageInstall;
  } else if (command == kFeatureMenuSkip) {
    state = kFeatureStateSkip;
    image = kFeatureImageSkip;
  } else {
    return;
  }
  const std::string feature = items_[static_cast<size_t>(item)];
  page.Host().StandardPages().SetFeatureState(feature, state);
  SetItemImage(item, image);
}

}  // namespace tw
