#include "project/project_settings.h"

#include <climits>

namespace tw {

std::string ProjectSettings::ReadSetting(const std::string& section, const std::string& key,
                                         int bufferSize) const {
  return document_.Get(section, key, "", bufferSize);
}

int ProjectSettings::ReadCount(const std::string& section) const {
  return ToNumber(ReadSetting(section, "TOTAL", kCountBuffer));
}

bool IsYes(const std::string& value) { return value == "Yes"; }

bool IsNotNo(const std::string& value) { return value != "No"; }

int ToNumber(const std::string& value) {
  size_t i = value.find_first_not_of(" \t");
  if (i == std::string::npos) return 0;
  long long number = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    number = number * 10 + (value[i] - '0');
    if (number > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(number);
}

}  // namespace tw
