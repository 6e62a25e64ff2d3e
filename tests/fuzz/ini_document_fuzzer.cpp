// The INI reader over any bytes: parse, list, and answer every listed name with buffer sizes taken
// from the input; an answer never exceeds its buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const tw::IniDocument document = tw::IniDocument::Parse(bytes);
  const int bufferSize = size == 0 ? 255 : static_cast<int>(data[0]) + static_cast<int>(size % 7) - 3;
  const size_t limit = bufferSize <= 0 ? 0 : static_cast<size_t>(bufferSize - 1);

  int asked = 0;
  for (const std::string& section : document.Sections()) {
    for (const std::string& key : document.Keys(section)) {
      if (++asked > 200) return 0;
      std::string value = document.Get(section, key, "fallback \"x\"", bufferSize);
      if (value.size() > limit) std::abort();
      document.Has(section, key);
    }
    if (document.Get(section, "TOTAL", "", bufferSize).size() > limit) std::abort();
  }
  if (document.Get("", "", bytes.substr(0, 300), bufferSize).size() > limit) std::abort();
  return 0;
}
