// The GIF walker over any bytes: every frame it reports lies inside the data and cuts out as a
// standalone GIF that walks to exactly one frame.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/gif_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const tw::GifLayout layout = tw::WalkGif(bytes);
  if (!layout.frames.empty() && !tw::IsGif(bytes)) std::abort();
  for (const tw::GifFrame& frame : layout.frames) {
    if (frame.begin >= frame.end || frame.end > size || frame.disposal < 0 || frame.disposal > 7) std::abort();
    const std::string single = tw::FrameGif(bytes, layout, frame);
    const tw::GifLayout again = tw::WalkGif(single);
    if (again.frames.size() != 1 || again.frames[0].width != frame.width || again.frames[0].height != frame.height)
      std::abort();
  }
  return 0;
}
