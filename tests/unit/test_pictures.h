// Builds small pictures for the tests that real decoders accept: GIFs (a header, an optional global
// colour table, per frame an optional graphic control extension and an image) and 24-bit BMPs.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw::test {

struct GifFrameRecipe {
  std::optional<int> delay;   // with a graphic control extension when set
  int disposal = 0;
  int left = 0, top = 0, width = 1, height = 1;
  bool localTable = false;    // a 2-colour local table
  std::string before;         // raw blocks put before the frame (other extensions)
  std::string extraData;      // an extra sub-block in the image data (e.g. a corrupt mark)
};

inline GifFrameRecipe Frame(std::optional<int> delay, int disposal = 0, int left = 0, int top = 0,
                          int width = 1, int height = 1) {
  GifFrameRecipe frame;
  frame.delay = delay;
  frame.disposal = disposal;
  frame.left = left;
  frame.top = top;
  frame.width = width;
  frame.height = height;
  return frame;
}

inline void PutWord(std::string& out, int value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

// LZW codes for count pixels of colour 0 at a minimum code size of 2, with a clear code every two
// pixels so the code width stays at 3 bits for any decoder.
inline std::string MinimalLzw(int count) {
  std::vector<int> codes{4};
  for (int i = 0; i < count; ++i) {
    if (i > 0 && i % 2 == 0) codes.push_back(4);
    codes.push_back(0);
  }
  codes.push_back(5);
  std::string bytes;
  unsigned bits = 0, used = 0;
  for (int code : codes) {
    bits |= static_cast<unsigned>(code) << used;
    used += 3;
    while (used >= 8) {
      bytes.push_back(static_cast<char>(bits & 0xFF));
      bits >>= 8;
      used -= 8;
    }
  }
  if (used > 0) bytes.push_back(static_cast<char>(bits & 0xFF));
  return bytes;
}

inline std::string SubBlocks(const std::string& data) {
  std::string out;
  for (size_t at = 0; at < data.size(); at += 255) {
    const std::string part = data.substr(at, 255);
    out.push_back(static_cast<char>(part.size()));
    out += part;
  }
  return out;
}

inline std::string GraphicControl(int delay, int disposal) {
  std::string out{'\x21', '\xF9', '\x04', static_cast<char>((disposal & 7) << 2)};
  PutWord(out, delay);
  out += std::string{'\x00', '\x00'};
  return out;
}

// globalTableBits: 0 for no global table, else n + 1 for a table of 2^(n+1) colours.
inline std::string BuildGif(int width, int height, const std::vector<GifFrameRecipe>& frames,
                            int globalTableBits = 1) {
  std::string gif = "GIF89a";
  PutWord(gif, width);
  PutWord(gif, height);
  gif.push_back(static_cast<char>(globalTableBits ? 0x80 | (globalTableBits - 1) : 0));
  gif += std::string{'\x00', '\x00'};
  if (globalTableBits) gif += std::string(3u << globalTableBits, '\xFF');
  for (const GifFrameRecipe& frame : frames) {
    gif += frame.before;
    if (frame.delay) gif += GraphicControl(*frame.delay, frame.disposal);
    gif.push_back('\x2C');
    PutWord(gif, frame.left);
    PutWord(gif, frame.top);
    PutWord(gif, frame.width);
    PutWord(gif, frame.height);
    gif.push_back(frame.localTable ? '\x80' : '\x00');
    if (frame.localTable) gif += std::string(6, '\x00');
    gif.push_back('\x02');
    gif += SubBlocks(MinimalLzw(frame.width * frame.height));
    if (!frame.extraData.empty()) gif += SubBlocks(frame.extraData);
    gif.push_back('\x00');
  }
  gif.push_back('\x3B');
  return gif;
}

inline void PutLong(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A complete 24-bit bottom-up BMP of width x height grey pixels.
inline std::string BuildBmp(int width, int height) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixels = row * static_cast<uint32_t>(height);
  std::string bmp = "BM";
  for (uint32_t value : {54 + pixels, 0u, 54u, 40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                         0x180001u /* one plane, 24 bits */, 0u /* uncompressed */, pixels, 2835u, 2835u, 0u, 0u})
    PutLong(bmp, value);
  return bmp + std::string(pixels, '\x80');
}

// A comment extension holding text, as an example of a block that is not part of any frame.
inline std::string Comment(const std::string& text) { return std::string{'\x21', '\xFE'} + SubBlocks(text) + '\x00'; }

}  // namespace tw::test
