// Placeholder expansion over any texts, values and author variables, in both the wizard's and the
// install engine's form. Values that name other variables must not make the text grow without end.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "project/placeholders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  tw::InstallPlaceholderCopy copy;
  tw::PlaceholderValues& v = copy.values;
  for (std::string* value : {&v.programFilesDir, &v.systemDir, &v.windowsDir, &v.installDir, &v.productName,
                             &v.userName, &v.tempDir, &v.productVersion})
    *value = input.ConsumeRandomLengthString(64);
  copy.defaultInstallDir = input.ConsumeRandomLengthString(64);
  // As many variables as a project may hold, each value at most a setting's length.
  const int count = input.ConsumeIntegralInRange(0, 50);
  for (int i = 0; i < count; ++i) {
    std::string name = input.ConsumeRandomLengthString(16);
    copy.variables.push_back({name, input.ConsumeRandomLengthString(254)});
  }
  const std::string text = input.ConsumeRemainingBytesAsString();
  const size_t limit = std::max(text.size(), tw::kMaxExpandedText);
  if (tw::ExpandPlaceholderText(text, copy.values, copy.variables, tw::Expansion::Wizard).size() > limit ||
      tw::ExpandInstallPlaceholders(text, copy).size() > limit)
    std::abort();
  return 0;
}
