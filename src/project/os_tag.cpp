#include "project/os_tag.h"

namespace tw {
namespace {

// 98 Second Edition is 4.10 with a build number of 2183 or more.
constexpr uint32_t kFirst98SeBuild = 2183;

struct MaskBit {
  int bit;
  const char* tag;
};

// Highest bit first: the order in which an item mask is searched.
constexpr MaskBit kItemBits[] = {{128, "NET"}, {64, "XP"}, {32, "2000"}, {16, "NT4"},
                                 {8, "ME"},    {4, "98SE"}, {2, "98"}};

constexpr MaskBit kFileActionBits[] = {{1, "NET"}, {2, "XP"},   {4, "2000"}, {8, "NT4"},
                                       {16, "ME"}, {32, "98SE"}, {64, "98"}};

}  // namespace

std::string OsTagFor(const OsVersion& version) {
  const bool nt = version.platformId == kPlatformNt;
  if (version.major == 4) {
    if (version.minor == 10) return (version.build & 0xFFFF) < kFirst98SeBuild ? "98" : "98SE";
    if (version.minor == 90) return "ME";
    // Windows 95 reports 4.0 as well; it is deliberately lumped in with NT 4.
    if (version.minor == 0) return "NT4";
    return "";
  }
  if (version.major == 5) {
    if (version.minor == 0) return "2000";
    if (nt && version.minor == 1) return "XP";
    if (nt && version.minor == 2) return "NET";
  }
  return "";
}

bool OsMaskAllows(int mask, const std::string& osTag) {
  if (mask == 0 || mask == 255) return true;
  for (const MaskBit& entry : kItemBits)
    if ((mask & entry.bit) && osTag == entry.tag) return true;
  return (mask & 1) != 0;
}

bool FileActionOsMaskAllows(int mask, const std::string& osTag) {
  for (const MaskBit& entry : kFileActionBits)
    if (osTag == entry.tag) return (mask & entry.bit) != 0;
  // Empty (or any tag without a bit): nothing to refuse it by.
  return true;
}

}  // namespace tw
