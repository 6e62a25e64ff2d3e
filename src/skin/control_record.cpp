#include "skin/control_record.h"

#include "project/project_settings.h"

namespace tw {

const std::string& ControlRecord::Value(size_t j) const {
  static const std::string empty;
  return j < properties.size() ? properties[j].value : empty;
}

int ControlRecord::ClickActionNumber() const {
  int action = -1;
  for (const Property& property : properties) {
    if (property.name != "On Click" && property.name != "Mouse Click") continue;
    if (property.value.empty()) return -1;
    action = ToNumber(property.value.substr(0, property.value.find('-')));
  }
  return action;
}

}  // namespace tw
