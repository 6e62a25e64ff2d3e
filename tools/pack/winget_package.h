// The winget deployment of a packed product: the folder build as one zip beside the manifests
// that tell winget where to fetch it, how to run the setup.exe inside and how to find the
// product once installed.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "project_packer.h"
#include "winget_manifest.h"

namespace tw::pack {

// The manifests' values from setup.inf and the options, as UTF-8; the zip's address and hash are
// left for PackWinget.
WingetValues ReadWingetValues(const PackOptions& options);

// Everything that keeps the options from making a manifest set winget accepts, each as a
// sentence the author can act on; empty when there is nothing.
std::vector<std::string> WingetProblems(const PackOptions& options, const WingetValues& values);

// Refuses, naming every problem, when options.wingetDir is set and WingetProblems finds any.
void CheckWinget(const PackOptions& options);

// Writes the zip of the packed files (paths inside options.outDir) and the three manifests into
// options.wingetDir.
void PackWinget(const PackOptions& options, const std::vector<std::filesystem::path>& packed, const WroteFile& wrote);

}  // namespace tw::pack
