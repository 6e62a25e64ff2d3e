// The window reads through a buffer of its own and seeks the whole stream only when that buffer
// runs out, so the cabinet reader's many small reads stay cheap.
#include "platform/stream_view.h"

#include <algorithm>

namespace tw {
namespace {
constexpr size_t kBufferSize = 1 << 16;
}

StreamWindow::StreamWindow(std::unique_ptr<std::istream> whole, uint64_t offset, uint64_t size)
    : std::istream(nullptr), buffer_(std::move(whole), offset, size) {
  rdbuf(&buffer_);
}

StreamWindow::Buffer::Buffer(std::unique_ptr<std::istream> whole, uint64_t offset, uint64_t size)
    : whole_(std::move(whole)), offset_(offset), size_(size), buffer_(kBufferSize) {
  setg(buffer_.data(), buffer_.data(), buffer_.data());
}

StreamWindow::Buffer::int_type StreamWindow::Buffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const uint64_t position = bufferStart_ + static_cast<uint64_t>(egptr() - eback());
  if (!whole_ || position >= size_) return traits_type::eof();
  const size_t want = static_cast<size_t>(std::min<uint64_t>(kBufferSize, size_ - position));
  whole_->clear();
  whole_->seekg(static_cast<std::streamoff>(offset_ + position));
  whole_->read(buffer_.data(), static_cast<std::streamsize>(want));
  const std::streamsize got = whole_->gcount();
  if (got <= 0) return traits_type::eof();
  bufferStart_ = position;
  setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
  return traits_type::to_int_type(*gptr());
}

StreamWindow::Buffer::pos_type StreamWindow::Buffer::seekoff(off_type off, std::ios_base::seekdir dir,
                                                             std::ios_base::openmode which) {
  const int64_t current = static_cast<int64_t>(bufferStart_) + (gptr() - eback());
  const int64_t base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? current : static_cast<int64_t>(size_);
  return seekpos(pos_type(base + off), which);
}

StreamWindow::Buffer::pos_type StreamWindow::Buffer::seekpos(pos_type pos, std::ios_base::openmode which) {
  const int64_t target = static_cast<int64_t>(pos);
  if (!(which & std::ios_base::in) || target < 0 || static_cast<uint64_t>(target) > size_) return pos_type(off_type(-1));
  const uint64_t wanted = static_cast<uint64_t>(target);
  // Inside what the buffer holds: move within it; elsewhere: empty it, the next read fetches.
  if (wanted >= bufferStart_ && wanted <= bufferStart_ + static_cast<uint64_t>(egptr() - eback())) {
    setg(eback(), eback() + (wanted - bufferStart_), egptr());
  } else {
    bufferStart_ = wanted;
    setg(buffer_.data(), buffer_.data(), buffer_.data());
  }
  return pos;
}

}  // namespace tw
