// The data-file reader over any bytes: every record's fields stay within their length, and the file
// name holds no folder part.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/file_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<tw::FileEntry> entries = tw::ParseFileData(text);
  if (entries.size() > size / 2 + 1) std::abort();
  for (const tw::FileEntry& entry : entries) {
    for (const std::string* field : {&entry.fileName, &entry.source, &entry.destination, &entry.feature})
      if (field->size() > tw::kFileEntryText) std::abort();
    if (entry.fileName.find_first_of("\\/:") != std::string::npos) std::abort();
    if (entry.flags < 0 || entry.osMask < 0 || entry.reserved < 0) std::abort();
  }
  return 0;
}
