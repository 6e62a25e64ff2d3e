#include "platform/fake/fake_http.h"

#include <algorithm>
#include <cstring>

#include "platform/system_error.h"

namespace tw {
namespace {

class FakeRequest : public HttpRequest {
 public:
  explicit FakeRequest(const FakeHttpResponse* response) : response_(response) {}
  bool Send() override {
    return response_ == nullptr || !response_->failSend || Failing(kErrorInternetCannotConnect, false);
  }
  std::optional<int> Status() override { return response_ ? response_->status : 404; }
  std::optional<uint64_t> ContentLength() override {
    if (!response_ || !response_->reportLength) return std::nullopt;
    return response_->body.size();
  }
  int Read(char* buffer, int size) override {
    if (!response_) return 0;
    if (response_->beforeRead) response_->beforeRead(offset_);
    if (response_->failReadAfter >= 0 && offset_ >= static_cast<size_t>(response_->failReadAfter))
      return Failing(kErrorInternetConnectionAborted, -1);
    size_t count = std::min(static_cast<size_t>(size), response_->body.size() - offset_);
    std::memcpy(buffer, response_->body.data() + offset_, count);
    offset_ += count;
    return static_cast<int>(count);
  }

 private:
  const FakeHttpResponse* response_;
  size_t offset_ = 0;
};

class FakeConnection : public HttpConnection {
 public:
  FakeConnection(FakeHttp& http, std::string agent, std::string host, int port)
      : http_(http), agent_(std::move(agent)), host_(std::move(host)), port_(port) {}
  std::unique_ptr<HttpRequest> OpenGet(const std::string& path, const std::string& acceptType) override {
    http_.requests.push_back({agent_, host_, port_, path, acceptType});
    auto it = http_.responses.find(host_ + ":" + std::to_string(port_) + path);
    return std::make_unique<FakeRequest>(it == http_.responses.end() ? nullptr : &it->second);
  }

 private:
  FakeHttp& http_;
  std::string agent_, host_;
  int port_;
};

class FakeSession : public HttpSession {
 public:
  FakeSession(FakeHttp& http, std::string agent) : http_(http), agent_(std::move(agent)) {}
  std::unique_ptr<HttpConnection> Connect(const std::string& host, int port) override {
    const auto& unreachable = http_.unreachableHosts;
    if (std::find(unreachable.begin(), unreachable.end(), host) != unreachable.end())
      return Failing(kErrorInternetNameNotResolved, nullptr);
    return std::make_unique<FakeConnection>(http_, agent_, host, port);
  }

 private:
  FakeHttp& http_;
  std::string agent_;
};

}  // namespace

std::unique_ptr<HttpSession> FakeHttp::OpenSession(const std::string& agent) {
  if (sessionsFail) return Failing(kErrorNotEnoughMemory, nullptr);
  return std::make_unique<FakeSession>(*this, agent);
}

}  // namespace tw
