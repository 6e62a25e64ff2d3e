#include "project/project_settings.h"

#include <algorithm>
#include <climits>

namespace tw {

std::string ProjectSettings::ReadSetting(const std::string& section, const std::string& key,
                                         int bufferSize) const {
  return document_.Get(section, key, "", bufferSize);
}

int ProjectSettings::ReadCount(const std::string& section) const {
  return ToNumber(ReadSetting(section, "TOTAL", kCountBuffer));
}

int ProjectSettings::ReadEntryCount(const std::string& section, int bufferSize) const {
  int total = ToNumber(ReadSetting(section, "TOTAL", bufferSize));
  long long entries = 0;  // one past the highest number a key ends in
  for (const std::string& key : document_.Keys(section)) {
    size_t digits = key.find_last_not_of("0123456789") + 1;  // 0 when the key is all digits
    if (digits < key.size()) entries = std::max(entries, ToNumber(key.substr(digits)) + 1LL);
  }
  return static_cast<int>(std::min<long long>(total, entries));
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
