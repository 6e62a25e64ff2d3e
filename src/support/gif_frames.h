// Splits a GIF file into its frames by walking its blocks, so each frame can be decoded on its own
// and composed by the animated picture. The bytes come from the setup's folder and are untrusted.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tw {

struct GifFrame {
  // The frame's bytes in the file: from its graphic control extension (or its image descriptor
  // when it has none) through the end of its image data.
  size_t begin = 0;
  size_t end = 0;
  std::optional<int> delay;  // hundredths of a second; nothing without a graphic control extension
  int disposal = 0;          // 0 to 7
  int left = 0, top = 0, width = 0, height = 0;
};

struct GifLayout {
  int screenWidth = 0, screenHeight = 0;
  size_t globalTableSize = 0;  // bytes of the global colour table, 0 when there is none
  std::vector<GifFrame> frames;
};

// True when the data starts with "GIF".
bool IsGif(const std::string& data);

// The logical screen and the frames of a GIF, in file order. The walk stops at the trailer, at a
// block it does not know, or at a block that would run past the data; the frames before that point
// are kept. Takes time linear in the data's size.
GifLayout WalkGif(const std::string& data);

// A standalone one-frame GIF: the file's header and global colour table, the frame's bytes, and a
// trailer. The frame must come from WalkGif over the same data.
std::string FrameGif(const std::string& data, const GifLayout& layout, const GifFrame& frame);

}  // namespace tw
