// Not a reader of ours: a harness with a fault only ASan sees, so that a test can show the ASan
// replay of a run without ASan reports it. An input starting "overrun" reads the byte just past
// its end, which libFuzzer's exactly sized copy makes a heap overflow; nothing else notices.
#include <cstdint>
#include <cstring>

volatile uint8_t sink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 7 && std::memcmp(data, "overrun", 7) == 0) sink = data[size];
  return 0;
}
