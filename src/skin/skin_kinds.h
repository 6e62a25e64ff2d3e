// What every control class shares about its kind: the text its widget starts with and the name
// value 0 gives it. The kind table itself is FindKind's (skin_control.h).
#pragma once
#include <string>

#include "skin/control_record.h"

namespace tw {

// The text the record's widget was created with ("Button 1"); empty for kinds without one.
std::string StartText(const ControlRecord& record);
// For the kinds that play named roles, property value 0 replaces the default name, even when empty.
void TakeNameFromValueZero(ControlRecord& record);

}  // namespace tw
