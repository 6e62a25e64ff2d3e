// The record of what was there before an installation, as the uninstaller reads it, over any bytes:
// nothing is taken from a file without its header, and every value it keeps writes back out as a
// line that reads back to the same value.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/prior_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const tw::PriorRecords records = tw::ParsePriorRecords(text);
  if (!records.headerSeen && (!records.values.empty() || !records.installDir.empty())) std::abort();
  for (const auto& [id, value] : records.values) {
    tw::PriorRecords again = tw::ParsePriorRecords(tw::FormatPriorHeader() + tw::FormatValueRecord(value));
    const tw::PriorValue* back = again.Find(value.logged);
    if (again.skipped != 0 || !back || !(back->value == value.value) || back->key != value.key ||
        back->name != value.name)
      std::abort();
  }
  return 0;
}
