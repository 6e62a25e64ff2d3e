// The cabinet reader over any bytes: the first cabinet is the input, and a continuation cabinet
// (when the input names one) is the input from its last "MSCF" on. Opening and extracting every
// member must end, without a crash, whatever the headers and data claim.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "install/cabinet_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  int opened = 0;
  tw::CabinetReader reader([&](const std::string&, const std::string&) -> std::unique_ptr<std::istream> {
    ++opened;
    if (opened == 1) return std::make_unique<std::istringstream>(input);
    size_t second = input.rfind("MSCF");
    if (opened > 2 || second == std::string::npos || second == 0) return nullptr;
    return std::make_unique<std::istringstream>(input.substr(second));
  });
  if (reader.Open("file1.cab") != tw::CabinetRead::kOk) return 0;
  uint64_t total = 0;
  for (const tw::CabinetEntry& entry : reader.Entries()) {
    uint64_t written = 0;
    bool ok = reader.Extract(entry, [&](const char*, size_t piece) {
      written += piece;
      return written <= entry.member.size;
    });
    // A member reported whole has exactly its stored size.
    if (ok && written != entry.member.size) std::abort();
    total += written;
    if (total > (64u << 20)) break;  // enough bytes for one input; the rest would only cost time
  }
  return 0;
}
