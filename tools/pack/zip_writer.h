// Writes a plain zip archive (deflated members, CRC-32, no Zip64), the form winget and every
// Windows unpacks, for handing a packed folder build over as one file.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace tw::pack {

struct ZipMember {
  std::filesystem::path source;
  std::string name;  // inside the archive: UTF-8, folders separated by '/'
};

// Writes the members in the order given into zip, replacing it; the archive appears under its
// name only when whole. Throws std::runtime_error when a source cannot be read, the archive
// cannot be written, or it would need Zip64 (4 GiB or 65,535 members).
void WriteZip(const std::filesystem::path& zip, const std::vector<ZipMember>& members);

}  // namespace tw::pack
