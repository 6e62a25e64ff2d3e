#include "support/gif_frames.h"

namespace tw {
namespace {

constexpr size_t kHeaderSize = 13;  // signature, version and logical screen descriptor
constexpr unsigned char kExtension = 0x21;
constexpr unsigned char kImage = 0x2C;
constexpr unsigned char kTrailer = 0x3B;
constexpr unsigned char kPlainText = 0x01;
constexpr unsigned char kGraphicControl = 0xF9;
constexpr unsigned char kComment = 0xFE;
constexpr unsigned char kApplication = 0xFF;

unsigned Byte(const std::string& data, size_t at) { return static_cast<unsigned char>(data[at]); }

int Word(const std::string& data, size_t at) {
  return static_cast<int>(Byte(data, at) | (Byte(data, at + 1) << 8));
}

// True when length bytes starting at pos lie inside the data (pos never lies past its end).
bool Fits(const std::string& data, size_t pos, size_t length) { return length <= data.size() - pos; }

// Size in bytes of a colour table whose flags byte is packed: 3 x 2^(n+1) when bit 7 is set.
size_t ColourTableSize(unsigned packed) { return (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0; }

// Length of the data sub-block chain at pos, terminator included; nothing when it runs past the data.
std::optional<size_t> SubBlocksLength(const std::string& data, size_t pos) {
  size_t length = 0;
  for (;;) {
    if (!Fits(data, pos, length + 1)) return std::nullopt;
    const size_t size = Byte(data, pos + length);
    length += size + 1;
    if (size == 0) return length;
  }
}

// A fixed part followed by data sub-blocks.
std::optional<size_t> WithSubBlocks(const std::string& data, size_t pos, size_t fixed) {
  if (!Fits(data, pos, fixed)) return std::nullopt;
  std::optional<size_t> chain = SubBlocksLength(data, pos + fixed);
  if (!chain) return std::nullopt;
  return fixed + *chain;
}

// Length of the block at pos; nothing for a block kind we do not know or one that runs past the data.
std::optional<size_t> BlockLength(const std::string& data, size_t pos) {
  const unsigned kind = Byte(data, pos);
  if (kind == kTrailer) return 1;
  if (kind == kImage) {
    if (!Fits(data, pos, 11)) return std::nullopt;
    return WithSubBlocks(data, pos, 11 + ColourTableSize(Byte(data, pos + 9)));
  }
  if (kind != kExtension || !Fits(data, pos, 2)) return std::nullopt;
  switch (Byte(data, pos + 1)) {
    case kPlainText: return WithSubBlocks(data, pos, 15);
    case kGraphicControl: return Fits(data, pos, 8) ? std::optional<size_t>(8) : std::nullopt;
    case kComment: return WithSubBlocks(data, pos, 2);
    case kApplication: return WithSubBlocks(data, pos, 14);
    default: return std::nullopt;
  }
}

// control is the position of the frame's graphic control extension, 0 when it has none (no block
// starts inside the header).
GifFrame MakeFrame(const std::string& data, size_t control, size_t image, size_t end) {
  GifFrame frame;
  frame.begin = control ? control : image;
  frame.end = end;
  if (control) {
    frame.delay = Word(data, control + 4);
    frame.disposal = static_cast<int>((Byte(data, control + 3) >> 2) & 7);
  }
  frame.left = Word(data, image + 1);
  frame.top = Word(data, image + 3);
  frame.width = Word(data, image + 5);
  frame.height = Word(data, image + 7);
  return frame;
}

}  // namespace

bool IsGif(const std::string& data) { return data.compare(0, 3, "GIF") == 0; }

GifLayout WalkGif(const std::string& data) {
  GifLayout layout;
  if (!IsGif(data) || data.size() < kHeaderSize) return layout;
  layout.screenWidth = Word(data, 6);
  layout.screenHeight = Word(data, 8);
  layout.globalTableSize = ColourTableSize(Byte(data, 10));

  // A graphic control extension belongs to the next image, whatever other extensions lie between.
  size_t control = 0;
  size_t pos = kHeaderSize + layout.globalTableSize;
  while (pos < data.size()) {
    std::optional<size_t> length = BlockLength(data, pos);
    if (!length || Byte(data, pos) == kTrailer) break;
    if (Byte(data, pos) == kImage) {
      layout.frames.push_back(MakeFrame(data, control, pos, pos + *length));
      control = 0;
    } else if (Byte(data, pos + 1) == kGraphicControl) {
      control = pos;
    }
    pos += *length;
  }
  return layout;
}

std::string FrameGif(const std::string& data, const GifLayout& layout, const GifFrame& frame) {
  const size_t head = kHeaderSize + layout.globalTableSize;
  if (head > data.size() || frame.begin > frame.end || frame.end > data.size()) return std::string();
  std::string gif;
  gif.reserve(head + (frame.end - frame.begin) + 1);
  gif.append(data, 0, head);
  gif.append(data, frame.begin, frame.end - frame.begin);
  gif.push_back(static_cast<char>(kTrailer));
  return gif;
}

}  // namespace tw
