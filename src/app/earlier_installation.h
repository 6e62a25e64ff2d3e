// The checks before the first page that look at the machine's state: administrator rights, and an
// earlier installation of the same product (removed first, or upgraded in place).
#pragma once
#include <string>

#include "platform/registry.h"

namespace tw {

class CMainFrame;

// A string value read with the key opened for all access: empty when that is refused or the value
// is missing. Opening for all access is how these checks tell an administrator from a normal user.
std::string ReadFullAccessValue(const Registry& registry, RegRoot root, const std::string& key,
                                const std::string& name);

// False (after the rights message) when the project needs administrator rights the user lacks.
bool CheckRights(CMainFrame& frame);

// Runs an earlier installation's uninstaller, or points the install folder at the earlier one.
// Never ends the setup.
void DetectEarlierInstallation(CMainFrame& frame);

}  // namespace tw
