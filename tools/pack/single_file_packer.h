// The single-file build: setup.exe with every shipped file appended and the trailer that lists
// them (the layout is in the README), and the Authenticode signing of what the pack wrote.
#pragma once
#include <filesystem>
#include <vector>

#include "project_packer.h"

namespace tw::pack {

// OUT/<product>-setup.exe, from the product name (a1) made safe for a file name.
std::filesystem::path SingleFilePath(const PackOptions& options);

// Refuses options that cannot make a single file: no --setup, or a payload other than one cabinet.
void CheckSingleFile(const PackOptions& options);

// Writes the single file from options.setupExe and the packed files (paths inside options.outDir;
// setup.exe itself is left out).
void PackSingleFile(const PackOptions& options, const std::vector<std::filesystem::path>& packed, const WroteFile& wrote);

// Signs file in place with SHA-256 Authenticode through osslsigncode; throws with the tool's own
// words when it fails.
void SignFile(const PackOptions& options, const std::filesystem::path& file);

}  // namespace tw::pack
