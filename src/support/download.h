// Fetching a payload file from the web: one HTTP GET on a transfer thread of its own, written to
// disk in small pieces, while the calling thread keeps its window messages flowing.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/system_error.h"
#include "support/download_progress.h"

namespace tw {

class StagedFile;
class Trace;
struct Platform;

// What a download may use: the platform, the process's cancel flag (1 = the user confirmed a
// cancel), the trace, and the progress page (called from the transfer thread, once a second).
struct DownloadContext {
  Platform& platform;
  std::atomic<int>& cancelRequested;
  Trace& trace;
  std::function<void(const DownloadStatus&)> report;
  // Moves the complete download over its target; empty: StagedFile::Commit. An installation keeps
  // the file it replaces, to put it back if the run fails.
  std::function<bool(StagedFile&)> commit;
};

struct DownloadOutcome {
  enum Result { kCompleted, kFailed, kCancelled };
  Result result = kFailed;
  std::optional<int> status;  // the HTTP status, once one was read
  uint64_t bytes = 0;         // body bytes received
  std::string failedStep;     // for kFailed: "address", "file", "session", "connect", ...
  SystemError error;          // for kFailed: the system's reason, where the step had one
};

// The message shown when the server answers with anything but 200 or 206 ("%d": the status).
constexpr char kHttpStatusMessage[] =
    "Failed to retrieve a HTTP 200 status, Status Code:%d\r\nTry later or download using your browser and add this "
    "file to Tarnwick Folder.";

// The file name a web payload entry's address gives: the text after its last "/", once a condition
// suffix ("{...}") is cut off. Empty when that is no plain file name ("..\\..\\evil.dll", "a:b",
// "", ".."), so nothing is ever written outside the destination folder.
std::string DownloadFileName(const std::string& url);

// Downloads url into the file target and returns when the transfer ended. Clears the cancel flag
// first. The body is written beside target and moved over it only when complete, so a failure or
// a cancel leaves target as it was and no partial file; only an unexpected HTTP status is shown to
// the user.
DownloadOutcome DownloadFile(DownloadContext& context, const std::string& url, const std::string& target);

}  // namespace tw
