// The two-halves reader. Every copy and every read is clamped to the buffer, so no sequence of
// calls or stream behaviour can touch memory outside it.
#include "crypt/double_buffering.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "crypt/file_crypt_error.h"

namespace tw {
namespace {

bool StreamUsable(std::istream& stream) {
  if (stream.rdbuf() == nullptr || stream.fail()) return false;
  if (auto* file = dynamic_cast<std::ifstream*>(&stream)) return file->is_open();
  return true;
}

}  // namespace

CDoubleBuffering::CDoubleBuffering(std::istream& stream, char* buffer, int size, int dataLength)
    : m_stream(stream), m_buffer(buffer), m_iSize(size), m_halfSize(size / 2), m_dataLength(dataLength) {
  if (size % 2 != 0) throw FileCryptError("CDoubleBuffering: m_iSize should be Even Number!");
  if (!StreamUsable(stream)) throw FileCryptError("CDoubleBuffering: Referenced File not Opened or in Bad State!");
  if (dataLength < 1 || dataLength > m_halfSize || buffer == nullptr)
    throw FileCryptError("CDoubleBuffering: Illegal Construction Data!");
  m_end = Read(0, m_halfSize);
}

// Reads up to count bytes into the buffer at index at, never past the buffer's end.
int CDoubleBuffering::Read(int at, int count) {
  count = std::min(count, m_iSize - at);
  if (count <= 0 || m_stream.eof() || m_stream.bad()) return 0;
  m_stream.read(m_buffer + at, count);
  return static_cast<int>(m_stream.gcount());
}

// Copies buffer bytes [from, to) to the destination; returns the count.
int CDoubleBuffering::CopyOut(char* destination, int from, int to) {
  from = std::max(from, 0);
  to = std::min(to, m_iSize);
  if (to <= from) return 0;
  std::memcpy(destination, m_buffer + from, static_cast<size_t>(to - from));
  return to - from;
}

int CDoubleBuffering::Tail(char* destination) {
  const int count = CopyOut(destination, m_position, m_end);
  m_position = std::max(m_position, m_end);
  m_finished = true;
  return count;
}

int CDoubleBuffering::GetData(char* destination, int length) {
  if (length == -1) length = m_dataLength;
  if (length <= 0 || length > m_halfSize) throw FileCryptError("CDoubleBuffering::GetData(): Illegal iDataLen!");
  if (m_finished) return 0;

  const int target = m_position + length;
  if (!m_secondHalfLoaded) {
    if (target < m_end) {
      CopyOut(destination, m_position, target);
      m_position = target;
      return length;
    }
    if (!m_stream.eof()) {
      m_end += Read(m_end, m_halfSize);
      if (m_end >= target) {
        CopyOut(destination, m_position, target);
        m_position = target;
        m_secondHalfLoaded = true;
        return length;
      }
    }
    return Tail(destination);
  }

  if (target < m_end) {
    CopyOut(destination, m_position, target);
    m_position = target;
    return length;
  }
  if (!m_stream.eof()) {
    // The first half was consumed before the second was loaded (length <= half size), so it can be
    // refilled; the chunk then runs from the position to the end of the loaded data and on from 0.
    const int oldEnd = m_end;
    const int wrapped = target % m_iSize;
    const int firstPart = CopyOut(destination, m_position, oldEnd);
    m_end = Read(0, std::min(m_halfSize, m_position));
    if (oldEnd == m_iSize && m_end >= wrapped) {
      CopyOut(destination + firstPart, 0, length - firstPart);
      m_position = length - firstPart;
      m_secondHalfLoaded = false;
      return length;
    }
    const int secondPart = CopyOut(destination + firstPart, 0, std::min(m_end, length - firstPart));
    m_position = m_end;
    m_finished = true;
    return firstPart + secondPart;
  }
  return Tail(destination);
}

}  // namespace tw
