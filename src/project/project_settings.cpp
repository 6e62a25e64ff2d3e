#include "project/project_settings.h"

#include <algorithm>
#include <climits>
#include <set>

namespace tw {

std::string ProjectSettings::ReadSetting(const std::string& section, const std::string& key,
                                         int bufferSize) const {
  return document_.Get(section, key, "", bufferSize);
}

int ProjectSettings::ReadCount(const std::string& section) const {
  return ToNumber(ReadSetting(section, "TOTAL", kCountBuffer));
}

std::vector<int> ProjectSettings::EntryIndices(const std::string& section, int bufferSize) const {
  const int total = ToNumber(ReadSetting(section, "TOTAL", bufferSize));
  std::set<int> present;
  for (const std::string& key : document_.Keys(section)) {
    size_t digits = key.find_last_not_of("0123456789") + 1;  // 0 when the key is all digits
    const std::string number = key.substr(digits);
    // Only a number as the entry's keys are written ("A7", never "A07") names an entry.
    if (number.empty() || number.size() > 10 || (number.size() > 1 && number[0] == '0')) continue;
    long long index = std::stoll(number);
    if (index < total) present.insert(static_cast<int>(index));
  }
  return std::vector<int>(present.begin(), present.end());
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
