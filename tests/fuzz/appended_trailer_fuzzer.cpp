// A single-file setup's own bytes as setup reads them: the PE header's security directory, the
// stamp and the trailer, over any bytes, bare or behind a valid stamp so the fuzzer reaches the
// footer and directory. Whatever is accepted must lie inside the data it came from.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "crypt/appended_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  // The second form: a header that makes the rest of the input the appended data and its trailer.
  std::string stamped(0x40, '\0');
  stamped[0] = 'M', stamped[1] = 'Z';
  stamped.replace(tw::kStampOffset, tw::kStampSize, tw::EncodeStamp({0x40, size}));
  stamped += bytes;
  for (const std::string& file : {bytes, stamped}) {
    std::istringstream in(file);
    const uint64_t end = tw::AppendedDataEnd(in, file.size()).value_or(file.size());
    const tw::TrailerResult read = tw::ReadTrailer(in, end);
    if (read.status != tw::TrailerRead::kOk) continue;
    for (const tw::AppendedFile& entry : read.trailer.files)
      if (entry.offset + entry.size > read.trailerStart || entry.offset < read.trailer.dataStart) std::abort();
  }
  return 0;
}
