// The user's shell folders (Programs menu, desktop, ...), resolved once at start and copied into
// each installation run.
#pragma once
#include <string>

namespace tw {

// Each folder without a trailing backslash; empty when the system has none.
struct SpecialFolders {
  std::string favorites, commonDocuments, pictures, programs, music, sendTo, fonts, appData,
      personal, startup, startMenu, desktop;
};

}  // namespace tw
