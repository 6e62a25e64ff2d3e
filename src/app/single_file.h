// A single-file setup at start-up: its appended files are found in the program's own file, the
// small ones checked against their SHA-256 and taken into a folder laid out as the folder build,
// and the payload cabinet checked on a thread of its own while the wizard runs.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "crypt/appended_files.h"
#include "platform/file_system.h"
#include "platform/ui.h"
#include "project/trace.h"

namespace tw {

// Told to the user, whatever went wrong with the program's own file, unless the language file
// (checked already) gives its own text in "SetupDamaged" "0".
extern const char kDamagedSetupMessage[];
std::string DamagedSetupText(const FileSystem& files, const std::string& checkedLanguageFile);

struct AppendedSetup {
  enum Outcome { kNone, kTaken, kDamaged } outcome = kNone;
  // kTaken: the payload cabinet inside the program's file, and its digest.
  uint64_t cabinetOffset = 0, cabinetSize = 0;
  uint64_t cabinetHeadSize = 0;  // how much of the cabinet's start was checked already; 0: none
  Sha256 cabinetSha256{};
  // The default language file once it was taken and checked (it is taken first); empty before.
  std::string languageFile;
  // kDamaged: the system's reason when a platform call failed (a file that could not be written),
  // none when the bytes themselves were at fault.
  SystemError error;
};

// Reads the trailer of programPath and, when it is whole, writes every small file under folder
// (ends in "\\") after checking its bytes; the bytes checked are the bytes written. kNone for a
// program without a trailer, kDamaged when anything fails (the trace says what).
AppendedSetup TakeAppendedFiles(FileSystem& files, const std::string& programPath, const std::string& folder,
                                Trace& trace);

// Hashes the payload cabinet on its own thread from construction on.
class PayloadCheck {
 public:
  PayloadCheck(const FileSystem& files, std::string programPath, const AppendedSetup& setup, Trace& trace);
  ~PayloadCheck();  // stops the hashing and waits for the thread
  PayloadCheck(const PayloadCheck&) = delete;
  PayloadCheck& operator=(const PayloadCheck&) = delete;

  // Waits, keeping the UI thread's messages served, until the digest is known; true when it
  // matches. Called again, answers at once.
  bool Wait(Ui& ui);
  // Once Wait answered false: the system's reason when the program's file could not be opened.
  SystemError Error() const { return openError_; }

 private:
  void Run(const FileSystem& files, const std::string& programPath, AppendedSetup setup);

  enum State { kRunning, kMatches, kDiffers };
  std::atomic<int> state_{kRunning};
  std::atomic<bool> stop_{false};
  Trace& trace_;
  SystemError openError_;  // written by the thread before it ends, read after the join
  std::thread thread_;
};

}  // namespace tw
