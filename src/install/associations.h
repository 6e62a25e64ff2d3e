// File types the project ties to its installed programs: the class keys with their default values,
// the type's icon copied into the install folder, and the keys the uninstaller is to remove.
#pragma once
#include <string>

namespace tw {

class Registry;
struct InstallSession;

// Opens path (taken as written) below HKEY_CLASSES_ROOT for full access, creating it with any
// missing parents when it can't be opened. False when it neither opens nor can be created.
bool CreateClassesKey(Registry& registry, const std::string& path);

// Registers each association of "EXTTW" in order: logs the file type's and the extension's keys as
// "REMKEY", writes the extension, type, icon and Open command keys, copies the icon from the work
// folder into the install folder and logs it as "FILE" once it is there. Failures are skipped.
void RegisterAssociations(InstallSession& session);

}  // namespace tw
