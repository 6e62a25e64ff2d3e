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

}  // namespace

ProjectFilesResult DecryptProjectFiles(CRijndaelMethod& method, FileSystem& files,
                                       const std::string& setupDir, const std::string& workDir) {
  InitProjectKey(method);
  PlatformOpener opener(files);
  const std::string setupZiv = setupDir + "setup.ziv", dataZiv = setupDir + "data.ziv";
  if (!files.Exists(setupZiv)) return ProjectFilesResult::Missing;
  method.DecryptFile(setupZiv, workDir + "setup.inf", opener);
  if (!files.Exists(dataZiv)) return ProjectFilesResult::Missing;
  method.DecryptFile(dataZiv, workDir + "data.inf", opener);
  return ProjectFilesResult::Decrypted;
}

}  // namespace tw
