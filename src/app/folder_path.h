// The destination folder a user types: whether it is a usable absolute folder path, and the
// messages the folder dialog shows about it.
#pragma once
#include <string>
#include <vector>

#include "platform/native_window.h"

namespace tw {

struct Platform;

// A drive letter, ":" and "\", then parts that are not empty, do not start or end with a tab, a
// blank or ".", and hold none of " * / : < > ? \ |. The drive root alone is valid; a longer path
// must not end with "\".
bool IsValidFolderPath(const std::string& path);

std::string InvalidFolderMessage(const std::string& path);
std::string CreateFolderQuestion(const std::string& path);
std::string FolderNotCreatedMessage(const std::string& path);

// A folder in Program Files moved to the user's own programs folder (<localAppData>\Programs), for
// an installation a standard user makes for themselves; any other folder as it is.
std::string UserProgramsFolder(const std::string& folder, const std::string& programFiles,
                               const std::string& localAppData);

// The folder dialog's OK: an invalid path is refused with its message; a missing folder is created
// part by part from the drive down once the user agrees, and each level it made is added to made
// (when given), so the installation can log them for removal; a level that cannot be made is told
// with the system's reason below the message. The messages belong to dialog. False keeps the
// dialog open.
bool AcceptDestinationFolder(Platform& platform, const std::string& path, NativeWindow dialog,
                             std::vector<std::string>* made = nullptr);

}  // namespace tw
