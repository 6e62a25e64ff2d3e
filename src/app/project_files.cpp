#include "app/project_files.h"

#include "crypt/project_key.h"
#include "crypt/rijndael_method.h"
#include "platform/file_system.h"

namespace tw {
namespace {

// Lets the file-crypt component open its streams through the platform's file system.
class PlatformOpener : public FileOpener {
 public:
  explicit PlatformOpener(FileSystem& files) : files_(files) {}
  std::unique_ptr<std::istream> OpenIn(const std::string& name) override { return files_.OpenRead(name); }
  std::unique_ptr<std::ostream> OpenOut(const std::string& name) override { return files_.OpenWrite(name); }

 private:
  FileSystem& files_;
};

// The existence test leaves no reason, so the file is asked for once more: the system then says
// whether it is simply not there or there and kept from us (a folder we may not look into).
ProjectFilesResult Missing(const FileSystem& files, const std::string& path, SystemError* reason) {
  if (reason) {
    ClearSystemError();
    *reason = files.OpenRead(path) ? SystemError{} : LastSystemError();
  }
  return ProjectFilesResult::Missing;
}

// Cleared first, so a file that cannot be opened throws with its own reason beside the message
// and one whose bytes are at fault with none.
void Decrypt(CRijndaelMethod& method, FileOpener& opener, const std::string& from, const std::string& to) {
  ClearSystemError();
  method.DecryptFile(from, to, opener);
}

}  // namespace

ProjectFilesResult DecryptProjectFiles(CRijndaelMethod& method, FileSystem& files, const std::string& setupDir,
                                       const std::string& workDir, SystemError* missing) {
  InitProjectKey(method);
  PlatformOpener opener(files);
  const std::string setupZiv = setupDir + "setup.ziv", dataZiv = setupDir + "data.ziv";
  if (!files.Exists(setupZiv)) return Missing(files, setupZiv, missing);
  Decrypt(method, opener, setupZiv, workDir + "setup.inf");
  if (!files.Exists(dataZiv)) return Missing(files, dataZiv, missing);
  Decrypt(method, opener, dataZiv, workDir + "data.inf");
  return ProjectFilesResult::Decrypted;
}

}  // namespace tw
