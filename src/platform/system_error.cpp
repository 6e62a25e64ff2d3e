#include "platform/system_error.h"

namespace tw {
namespace {

// Per thread, because the install worker, the payload prefetch and the download each fail on their
// own thread and read their own reason.
thread_local uint32_t lastError = 0;

}  // namespace

SystemError LastSystemError() { return SystemError{lastError}; }

void NoteSystemError(uint32_t code) { lastError = code; }

}  // namespace tw
