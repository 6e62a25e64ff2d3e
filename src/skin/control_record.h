// One control of a skinned page as its layout file describes it: kind, place, id, name, and the
// property lines its block holds.
#pragma once
#include <string>
#include <vector>

#include "platform/page_ui.h"

namespace tw {

constexpr int kMaxRecords = 70;        // controls per page
constexpr int kMaxPerKind = 15;        // controls of one kind per page
constexpr int kMaxProperties = 15;     // property lines per control
constexpr int kFirstControlId = 3000;  // ids are given from here in creation order
constexpr int kLastClickableId = 3030; // clicks of later controls are not dispatched
constexpr char kDoNothing[] = "[Do Nothing]";

struct Property {
  std::string name;
  std::string value;
  int number = 0;
};

struct ControlRecord {
  std::string kind;
  Rect rect;
  int id = 0;
  int kindIndex = 0;
  std::string name;
  std::vector<Property> properties;  // in block order; at most kMaxProperties
  std::string clickAction = kDoNothing;
  std::string clickTarget;
  std::string imageFile;             // control-line field 6, joined to the layout's folder

  // The value at position j of the block; empty when the block is shorter.
  const std::string& Value(size_t j) const;
  // The action number of the last "On Click" or "Mouse Click" property; -1 when none (or when an
  // empty one ends the scan).
  int ClickActionNumber() const;
};

}  // namespace tw
