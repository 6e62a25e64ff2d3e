#include "project/os_tag.h"

namespace tw {
namespace {

// 98 Second Edition is 4.10 with a build number of 2183 or more.
constexpr uint32_t kFirst98SeBuild = 2183;
// Windows 11 still calls itself 10.0; its builds start here.
constexpr uint32_t kFirstWindows11Build = 22000;
// The first file-action bit that names a system newer than Server 2003: the same as in item masks,
// above the old byte, whose unused top bit designers set when they mean "every system" (255).
constexpr int kFirstNewFileActionBit = 256;

struct MaskBit {
  int bit;
  const char* tag;
};

// Highest bit first: the order in which an item mask is searched.
constexpr MaskBit kItemBits[] = {{8192, "WIN11"}, {4096, "WIN10"}, {2048, "WIN81"}, {1024, "WIN8"},
                                 {512, "WIN7"},   {256, "VISTA"},  {128, "NET"},    {64, "XP"},
                                 {32, "2000"},    {16, "NT4"},     {8, "ME"},       {4, "98SE"},
                                 {2, "98"}};

constexpr MaskBit kFileActionBits[] = {{1, "NET"},     {2, "XP"},     {4, "2000"},   {8, "NT4"},    {16, "ME"},
                                       {32, "98SE"},   {64, "98"},    {256, "VISTA"}, {512, "WIN7"}, {1024, "WIN8"},
                                       {2048, "WIN81"}, {4096, "WIN10"}, {8192, "WIN11"}};

// NT 6.x and 10.0; the 9x family never reached these numbers.
std::string NewerOsTag(const OsVersion& version) {
  if (version.major == 6) {
    switch (version.minor) {
      case 0: return "VISTA";
      case 1: return "WIN7";
      case 2: return "WIN8";
      case 3: return "WIN81";
      default: return "";
    }
  }
  if (version.major == 10 && version.minor == 0)
    return (version.build & 0xFFFF) >= kFirstWindows11Build ? "WIN11" : "WIN10";
  return "";
}

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
    return "";
  }
  return nt ? NewerOsTag(version) : "";
}

bool OsMaskAllows(int mask, const std::string& osTag) {
  if (mask == 0 || mask == 255) return true;
  for (const MaskBit& entry : kItemBits)
    if ((mask & entry.bit) && osTag == entry.tag) return true;
  return (mask & 1) != 0;
}

bool FileActionOsMaskAllows(int mask, const std::string& osTag) {
  for (const MaskBit& entry : kFileActionBits) {
    if (osTag != entry.tag) continue;
    if (entry.bit >= kFirstNewFileActionBit && mask < kFirstNewFileActionBit) return true;
    return (mask & entry.bit) != 0;
  }
  // Empty (or any tag without a bit): nothing to refuse it by.
  return true;
}

}  // namespace tw
