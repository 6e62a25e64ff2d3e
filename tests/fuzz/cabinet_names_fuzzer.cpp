// Cabinet member names: whatever a cabinet stores, the name the extractor writes under is a plain
// file name that Windows cannot resolve to another folder, a device or a different name.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/cabinet_extractor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string stored(reinterpret_cast<const char*>(data), size);
  const std::string name = tw::PlainMemberName(stored);
  if (name.empty()) return 0;
  if (name.find_first_of("\\/:") != std::string::npos || name == "." || name == "..") std::abort();
  // Windows drops trailing dots and blanks ("..." names the folder itself) and ends a name at its
  // first NUL; control characters are not allowed in names at all.
  if (name.back() == '.' || name.back() == ' ') std::abort();
  for (unsigned char c : name)
    if (c < 0x20) std::abort();
  // The name is what the stored name ends in.
  if (stored.size() < name.size() || stored.compare(stored.size() - name.size(), name.size(), name) != 0) std::abort();
  return 0;
}
