// PNG encoding of 8-bit RGB pictures with stored (uncompressed) deflate blocks: large files but a
// small, dependable encoder, for screenshots that image tools read back.
#pragma once
#include <cstdint>
#include <string>

namespace tw {

// rgbRows: height rows from the top, each width x 3 bytes (red, green, blue) without padding.
// Empty when the sizes are not positive or the rows do not match them.
std::string EncodePng(int width, int height, const std::string& rgbRows);

// The checksums the format asks for: CRC-32 of each chunk's type and data, Adler-32 of the zlib data.
uint32_t Crc32(const std::string& bytes);
uint32_t Adler32(const std::string& bytes);

}  // namespace tw
