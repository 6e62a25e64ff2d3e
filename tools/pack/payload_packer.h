// The payload of a packed project: the files data.inf lists (found in the project's payload/
// folder) and the support/ files, written as file1.cab, as DiskImage1\ or as a split-build cabinet.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "project_packer.h"

namespace tw::pack {

// One file the payload ships, under the name it is stored as.
struct PayloadFile {
  std::filesystem::path source;
  std::string storedName;
  uintmax_t size = 0;
};

// Reads data.inf and the payload and support folders. Throws std::runtime_error listing every
// problem found (a missing payload file, a malformed record line, a record without a source
// line); setup reads the same file, so nothing is packed from a project it would misread.
std::vector<PayloadFile> PlanPayload(const PackOptions& options);

// The whole file as bytes; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& file);
// Whether the file starts with the UTF-8 byte-order mark.
bool IsMarkedUtf8(const std::filesystem::path& file);

// Writes the planned payload in the chosen layout.
void WritePayload(const PackOptions& options, const std::vector<PayloadFile>& payload, const WroteFile& wrote);

}  // namespace tw::pack
