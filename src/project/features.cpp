#include "project/features.h"

#include <algorithm>

#include "project/project_settings.h"

namespace tw {
namespace {

// A hostile count must not make start-up read keys for ever; no project comes near this.
constexpr int kMaxFeatures = 10000;

}  // namespace

void FeatureTable::LoadFeatures(const ProjectSettings& settings) {
  entries_.clear();
  int count = std::min(ToNumber(settings.ReadSetting("SETUPTYPE", "TOTAL")), kMaxFeatures);
  for (int i = 0; i < count; ++i)
    entries_.emplace_back(settings.ReadSetting("SETUPTYPE", "FeatureName" + std::to_string(i)), kFeatureInstall);
}

void FeatureTable::SetFeatureState(const std::string& name, int state) {
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
    if (entry->first == name) {
      entry->second = state;
      return;
    }
}

int FeatureTable::GetFeatureState(const std::string& name) const {
  for (const auto& [feature, state] : entries_)
    if (feature == name) return state;
  return -1;
}

int FeatureTable::ChosenState(const std::string& name) const {
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
    if (entry->first == name) return entry->second;
  return -1;
}

bool FeatureTable::FeatureAllows(const std::string& name) const {
  std::string bare;
  for (char c : name)
    if (c != '|') bare += c;
  if (bare.empty()) return true;
  int state = GetFeatureState(bare);
  return state == kFeatureInstall || state == -1;
}

}  // namespace tw
