// INI entries the project writes into initialization files: the table of those files, each logged
// once for the uninstaller, and the entries themselves, written through the system's INI writer.
#pragma once
#include <string>

namespace tw {

struct InstallSession;

constexpr size_t kMaxIniFiles = 50;

// Registers every file of "INIINFO", then writes every entry of "INIDATA".
void WriteIniEntries(InstallSession& session);

// Adds the file treePath names ("INI Files\\" + name, one trailing "\\" allowed) in folder to the
// session's table and logs it as "FILE"; a path already there is returned without a second entry.
// The full path, or empty when the name is empty or the table is full (refused, nothing logged).
std::string RegisterIniFile(InstallSession& session, const std::string& treePath, const std::string& folder);

// Writes value, expanded, into the last registered file whose identifier occurs in entryPath
// ("INI Files\\" + file + "\\" + section + "\\" + key, one trailing "\\" allowed). False when no
// registered file matches, the path names no section and key, or the writer failed.
bool WriteIniEntry(InstallSession& session, const std::string& entryPath, const std::string& value);

}  // namespace tw
