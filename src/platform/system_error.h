// The system's own reason for a failed platform call, kept per thread as the system keeps it, so
// the engine can say why a file, key, service, link or download failed and not only that it did.
#pragma once
#include <cstdint>

namespace tw {

// A Windows system error code; 0 means the failure left none.
struct SystemError {
  uint32_t code = 0;
  explicit operator bool() const { return code != 0; }
};

// Codes the engine acts on, and those the fakes give for their failures.
enum : uint32_t {
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorWriteFault = 29,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorFileExists = 80,
  kErrorDiskFull = 112,
  kErrorDirNotEmpty = 145,
  kErrorInvalidName = 123,
  kErrorModNotFound = 126,
  kErrorAlreadyExists = 183,
  kErrorDirectory = 267,
  kErrorServiceDoesNotExist = 1060,
  kErrorServiceExists = 1073,
  kErrorNetworkNotReady = 10091,  // WSASYSNOTREADY
  kErrorInternetTimeout = 12002,
  kErrorInternetNameNotResolved = 12007,
  kErrorInternetCannotConnect = 12029,
  kErrorInternetConnectionAborted = 12030,
};

// The error the last failed platform call on this thread left, for the caller to read right after
// it: a successful call leaves it as it was, so a caller that wants a fresh answer clears it first.
SystemError LastSystemError();
// Each implementation notes its failures here (the Win32 side the system's own last error).
void NoteSystemError(uint32_t code);
inline void ClearSystemError() { NoteSystemError(0); }
// For implementations: notes code as the failed call's error and answers what the call returns.
template <typename T>
T Failing(uint32_t code, T result) {
  NoteSystemError(code);
  return result;
}

// Keeps the thread's error as it is and puts it back at the end of the scope, so that work done after
// a failure (putting things back, writing the trace) never hides that failure's reason.
class KeepSystemError {
 public:
  KeepSystemError() : kept_(LastSystemError()) {}
  ~KeepSystemError() { NoteSystemError(kept_.code); }
  KeepSystemError(const KeepSystemError&) = delete;
  KeepSystemError& operator=(const KeepSystemError&) = delete;

 private:
  SystemError kept_;
};

// A sharing or lock violation: a program (often a virus scanner with a new file) holds the file for
// a moment, so trying again shortly may well work.
inline bool IsPassingHold(SystemError error) {
  return error.code == kErrorSharingViolation || error.code == kErrorLockViolation;
}

}  // namespace tw
