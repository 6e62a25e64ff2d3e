#include "install/install_session.h"

#include "project/host_flags.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

// Condition actions met during the installation: a cancel aborts the run, a message is shown.
class InstallActions : public ActionHost {
 public:
  explicit InstallActions(InstallSession& session) : session_(session) {}
  void Abort() override { session_.flags.cancelled = kOn; }
  void ShowInfo(const std::string& text) override { session_.dialogs.ShowInfo(text); }

 private:
  InstallSession& session_;
};

}  // namespace

InstallSession::~InstallSession() = default;

void InstallSession::WriteLogEntry(const std::string& key, const std::string& value) {
  // A preview writes no entry: the log belongs to the product as installed. Without a product
  // code there is no log at all.
  if (flags.previewMode == kOn || LogPath.empty()) {
    trace.Write("install", "log", {{"key", key}, {"value", value}, {"result", LogPath.empty() ? "no-log" : "preview"}});
    return;
  }
  std::lock_guard<std::mutex> lock(logLock_);
  if (!logFile_ || logFilePath_ != LogPath) {
    logFile_ = platform.files.OpenAppend(LogPath);
    logFilePath_ = LogPath;
  }
  bool written = logFile_ && logFile_->Write(key + "=" + value + "\r\n");
  if (!written) logFile_.reset();
  trace.Write("install", "log", {{"key", key}, {"value", value}, {"result", written ? "ok" : "lost"}});
}

void InstallSession::CloseLog() {
  std::lock_guard<std::mutex> lock(logLock_);
  logFile_.reset();
}

void InstallSession::SetStatus(const std::string& text) {
  trace.Write("install", "status", {{"text", text}});
  progress.SetStatusText(text);
}

bool InstallSession::ConditionAllows(const std::string& name) {
  InstallActions actions(*this);
  return Conditions.ConditionAllows(
      name, [this](const std::string& text) { return Expand(text); },
      [&actions](const std::string& command) { RunAction(command, actions); });
}

}  // namespace tw
