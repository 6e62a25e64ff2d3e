// The HTTP transfer of a web payload entry, step by step, each failure ending it quietly except an
// unexpected status, which the user is told about.
#include "support/download.h"

#include <memory>
#include <ostream>

#include "project/trace.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/fetch_url_text.h"
#include "support/staged_file.h"

namespace tw {
namespace {

constexpr int kReadBuffer = 1024;
constexpr int kCancelled = 1;
constexpr char kCaption[] = "Setup";

std::string StatusMessage(int status) {
  std::string text = kHttpStatusMessage;
  text.replace(text.find("%d"), 2, std::to_string(status));
  return text;
}

// One transfer on the transfer thread. The body goes to a temporary file beside the target,
// opened first and closed before the HTTP handles; only a complete body is moved over the target,
// and the temporary file goes with the transfer whatever its end.
class Transfer {
 public:
  Transfer(DownloadContext& context, const std::string& url, const std::string& target)
      : context_(context), url_(url), staged_(context.platform.files, target) {}

  DownloadOutcome Run() {
    context_.cancelRequested = 0;
    ClearSystemError();
    std::optional<HttpAddress> address = ParseHttpAddress(url_);
    if (!address) return Fail("address");
    file_ = context_.platform.files.OpenWrite(staged_.TempPath());
    if (!file_) return Fail("file");

    Platform& platform = context_.platform;
    std::unique_ptr<HttpSession> session = platform.http.OpenSession(platform.system.ProgramName());
    if (Cancelled()) return Cancel();
    if (!session) return Fail("session");
    std::unique_ptr<HttpConnection> connection = session->Connect(address->host, address->port);
    if (!connection) return Fail("connect");
    if (Cancelled()) return Cancel();
    std::unique_ptr<HttpRequest> request = connection->OpenGet(address->path, "*/*");
    if (Cancelled()) return Cancel();
    if (!request) return Fail("request");
    if (!request->Send()) return Fail("send");
    outcome_.status = request->Status();
    if (!outcome_.status) return Fail("status");
    if (*outcome_.status != 200 && *outcome_.status != 206) {
      ClearSystemError();  // the server's answer is the reason, not the system's
      return RefuseStatus(*outcome_.status);
    }
    return Receive(*request);
  }

 private:
  bool Cancelled() const { return context_.cancelRequested == kCancelled; }

  // Read first: the step's own failure is the one the caller hears of.
  DownloadOutcome Fail(const char* step) {
    outcome_.error = LastSystemError();
    file_.reset();
    outcome_.result = DownloadOutcome::kFailed;
    outcome_.failedStep = step;
    return outcome_;
  }

  // A cancelled download leaves nothing behind: a partial file would pass for the real one.
  DownloadOutcome Cancel() {
    file_.reset();
    staged_.Discard();
    outcome_.result = DownloadOutcome::kCancelled;
    return outcome_;
  }

  // Anything but the file itself (an error page, or a request for credentials that setup cannot
  // answer) must not be installed as if it were the file.
  DownloadOutcome RefuseStatus(int status) {
    const std::string text = StatusMessage(status);
    context_.platform.ui.ShowMessageBox(text, kCaption, kMbOk);
    context_.trace.Write("dialog", "message", {{"text", text}, {"answer", "ok"}});
    return Fail("http-status");
  }

  // The body in reads of at most 1024 bytes, each written out at once, until the server has no more.
  DownloadOutcome Receive(HttpRequest& request) {
    SystemInfo& clock = context_.platform.system;
    DownloadMeter meter;
    meter.Start(request.ContentLength().value_or(0), clock.TickCount());
    char buffer[kReadBuffer];
    for (;;) {
      int count = request.Read(buffer, kReadBuffer);
      if (count < 0) return Fail("read");
      if (count > kReadBuffer) count = kReadBuffer;
      if (count > 0 && !Cancelled() && !file_->write(buffer, count)) return Fail("write");
      outcome_.bytes += static_cast<uint64_t>(count);
      if (std::optional<DownloadStatus> status = meter.Update(outcome_.bytes, clock.TickCount()))
        if (context_.report) context_.report(*status);
      if (Cancelled()) return Cancel();
      if (count == 0) break;
    }
    if (!file_->flush()) return Fail("write");
    file_.reset();
    if (!(context_.commit ? context_.commit(staged_) : staged_.Commit())) return Fail("replace");
    outcome_.result = DownloadOutcome::kCompleted;
    return outcome_;
  }

  DownloadContext& context_;
  const std::string url_;
  StagedFile staged_;
  std::unique_ptr<std::ostream> file_;
  DownloadOutcome outcome_;
};

}  // namespace

std::string DownloadFileName(const std::string& url) {
  std::string name = LastComponent(url.substr(0, url.find('{')), "/");
  return IsPlainFileName(name) ? name : std::string();
}

DownloadOutcome DownloadFile(DownloadContext& context, const std::string& url, const std::string& target) {
  DownloadOutcome outcome;
  context.platform.ui.RunAndPump([&] { outcome = Transfer(context, url, target).Run(); });
  return outcome;
}

}  // namespace tw
