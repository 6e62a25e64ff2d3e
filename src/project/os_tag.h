// The Windows version tag ("98", "98SE", "ME", "NT4", "2000", "XP", "NET", and for today's systems
// "VISTA", "WIN7", "WIN8", "WIN81", "WIN10", "WIN11") and the two OS masks that restrict an item or
// a file action to some of those versions.
#pragma once
#include <string>

#include "platform/system_info.h"

namespace tw {

// The tag of a running Windows; empty for any version the engine does not tell apart.
std::string OsTagFor(const OsVersion& version);

// Item masks (payload files and the other install items): bit 1 admits any system, then 2 "98",
// 4 "98SE", 8 "ME", 16 "NT4", 32 "2000", 64 "XP", 128 "NET", and above the old byte 256 "VISTA",
// 512 "WIN7", 1024 "WIN8", 2048 "WIN81", 4096 "WIN10", 8192 "WIN11". A mask of 0 or 255 admits all.
bool OsMaskAllows(int mask, const std::string& osTag);

// File-action masks use the opposite order: 1 "NET", 2 "XP", 4 "2000", 8 "NT4", 16 "ME",
// 32 "98SE", 64 "98", then, above the old byte as in item masks, 256 "VISTA" up to 8192 "WIN11".
// An empty tag refuses nothing; a mask of 0 refuses every old version. A mask that fits the old
// byte (designers write 255 for "every system") was written before the newer systems had bits, so
// it refuses none of them.
bool FileActionOsMaskAllows(int mask, const std::string& osTag);

}  // namespace tw
