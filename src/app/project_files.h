// The project-file step of start-up: decrypts setup.ziv and data.ziv from the setup folder into
// the work folder as setup.inf and data.inf, through the platform's file system.
#pragma once
#include <string>

#include "platform/system_error.h"

namespace tw {

class CRijndaelMethod;
class FileSystem;

enum class ProjectFilesResult { Decrypted, Missing };

// Re-keys method with the project key, then decrypts. Missing when setup.ziv or data.ziv is not in
// setupDir (setup.inf is already written when only data.ziv is missing); *missing then holds the
// system's reason for the file that was not there. A file that cannot be decrypted throws
// FileCryptError with the component's message, the thread's error holding the reason when a file
// could not be opened and none when the bytes were at fault.
ProjectFilesResult DecryptProjectFiles(CRijndaelMethod& method, FileSystem& files, const std::string& setupDir,
                                       const std::string& workDir, SystemError* missing = nullptr);

}  // namespace tw
