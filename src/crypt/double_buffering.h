// Chunked reader for the file operations: hands out chunks of a fixed length from an open binary
// stream through a caller-owned buffer of two halves, then one final short chunk, then 0 for ever.
#pragma once
#include <istream>

namespace tw {

class CDoubleBuffering {
 public:
  // Checks (in order): size even, stream open and not bad, 1 <= dataLength <= size / 2 (and a
  // buffer given); then fills the first half with one read. Neither opens nor closes the stream.
  CDoubleBuffering(std::istream& stream, char* buffer, int size, int dataLength);

  // Copies the next chunk (length -1: the construction's data length) and returns its byte count;
  // 0 once the input is used up. The destination must have room for length bytes.
  int GetData(char* destination, int length = -1);

  CDoubleBuffering(const CDoubleBuffering&) = delete;
  CDoubleBuffering& operator=(const CDoubleBuffering&) = delete;

 private:
  int Read(int at, int count);
  int CopyOut(char* destination, int from, int to);
  int Tail(char* destination);

  std::istream& m_stream;
  char* m_buffer;
  int m_iSize;
  int m_halfSize;
  int m_dataLength;
  int m_position = 0;
  int m_end = 0;
  bool m_secondHalfLoaded = false;
  bool m_finished = false;
};

}  // namespace tw
