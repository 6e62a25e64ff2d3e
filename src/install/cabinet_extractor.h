// Unpacks the cabinet set beside setup.exe: a cabinet build into the work folder before the first
// page, a split build straight into the install folder during the installation.
#pragma once
#include <string>
#include <vector>

namespace tw {

struct CabinetMember;
struct FileEntry;
class SystemInfo;
struct InstallSession;

// Reduces a member name from a cabinet to a plain file name: the text after its last "\\" or "/",
// or nothing when that could leave the destination folder, name a device ("", ".", "..", a ":",
// "CON", "NUL", "COM1" ...) or be written under another name (a trailing dot or blank, a control
// character).
std::string PlainMemberName(const std::string& storedName);
// A member's stored name as engine text: UTF-8 where the cabinet flags it so (0x80), the machine's
// ANSI code page otherwise, as the system's decompressor gives it.
std::string MemberNameText(const CabinetMember& member, const SystemInfo& system);

// Asks for the disk that holds cabinetName in folder. True when the user chose Retry; Cancel ends
// the process at once.
bool AskForDisk(InstallSession& session, const std::string& diskName, const std::string& folder,
                const std::string& cabinetName);

class CabinetExtractor {
 public:
  // What went wrong, kept once set: 1 no decompression context, 2 the first cabinet cannot be
  // opened, 3 it is not a cabinet, 4 the copy failed, 5 the context could not be released.
  static constexpr int kNoError = -1;

  // fileList: the payload list a split build's members are matched with, for the rules each
  // file obeys (systems, features, never-overwrite, the version gate).
  explicit CabinetExtractor(InstallSession& session, const std::vector<FileEntry>* fileList = nullptr)
      : session_(session), fileList_(fileList) {}

  // Unpacks "file1.cab" from the setup folder and its continuation cabinets on a worker thread
  // while the UI thread keeps pumping. A split build then waits for the first disk to be back.
  // False when the extraction failed.
  bool ExtractCabinets();

  int ExtractError() const { return extractError_; }
  int ExtractedFiles() const { return extractedFiles_; }

 private:
  class Handler;

  void Extract();
  bool WaitForFirstDisk();
  void Fail(int error);

  InstallSession& session_;
  const std::vector<FileEntry>* fileList_;
  int extractError_ = kNoError;
  int extractedFiles_ = 0;
};

}  // namespace tw
