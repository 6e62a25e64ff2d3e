// A read-only window onto part of another stream: the payload cabinet of a single-file setup is
// read in place, inside the program's own file, as if it were a file of its own.
#pragma once
#include <cstdint>
#include <istream>
#include <memory>
#include <streambuf>
#include <vector>

namespace tw {

class StreamWindow : public std::istream {
 public:
  // Positions 0 to size of the result are offset to offset + size of whole; reading past size
  // ends the stream.
  StreamWindow(std::unique_ptr<std::istream> whole, uint64_t offset, uint64_t size);

 private:
  class Buffer : public std::streambuf {
   public:
    Buffer(std::unique_ptr<std::istream> whole, uint64_t offset, uint64_t size);

   protected:
    int_type underflow() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

   private:
    std::unique_ptr<std::istream> whole_;
    uint64_t offset_, size_;
    uint64_t bufferStart_ = 0;  // the window position of the buffer's first byte
    std::vector<char> buffer_;
  };
  Buffer buffer_;
};

}  // namespace tw
