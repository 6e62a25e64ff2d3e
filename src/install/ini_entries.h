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
// session's table, noting whether it exists already; a path already there is returned as it is.
// The full path, or empty when the name is empty or the table is full (refused).
std::string RegisterIniFile(InstallSession& session, const std::string& treePath, const std::string& folder);

// Writes value, expanded, into the last registered file whose identifier is entryPath's file part
// ("INI Files\\" + file + "\\" + section + "\\" + key, one trailing "\\" allowed), and logs the
// file as "FILE" the first time an entry creates it. False when no registered file matches, the
// path names no section and key, or the writer failed.
bool WriteIniEntry(InstallSession& session, const std::string& entryPath, const std::string& value);

}  // namespace tw
