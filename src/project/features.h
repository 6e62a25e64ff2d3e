// The features a custom setup can switch off, in the order the project lists them, and the rule
// by which an install item that names a feature asks whether it may be installed.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace tw {

class ProjectSettings;

constexpr int kFeatureInstall = 0;
constexpr int kFeatureSkip = 255;

class FeatureTable {
 public:
  // Reads "SETUPTYPE": every "FeatureName%i" starts installed.
  void LoadFeatures(const ProjectSettings& settings);
  // The last entry with the name gets the state; an unknown name changes nothing.
  void SetFeatureState(const std::string& name, int state);
  // The state of the first entry with the name; -1 when there is none.
  int GetFeatureState(const std::string& name) const;
  // The state of the last entry with the name, the one the feature menu sets; -1 when there is none.
  int ChosenState(const std::string& name) const;
  // "|" is ignored; an empty or unknown name installs, and so does a feature switched on.
  bool FeatureAllows(const std::string& name) const;

  void Add(const std::string& name, int state) { entries_.emplace_back(name, state); }
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  std::vector<std::pair<std::string, int>> entries_;
};

}  // namespace tw
