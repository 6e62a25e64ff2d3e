// HTTP twin: answers from scripted responses keyed by "host:port/path", and records every request.
#pragma once
#include <functional>
#include <map>
#include <vector>

#include "platform/http.h"

namespace tw {

struct FakeHttpResponse {
  int status = 200;
  std::string body;
  bool reportLength = true;  // send a Content-Length
  bool failSend = false;      // as when nothing listens on the port
  int failReadAfter = -1;    // fail the read once this many bytes went out (-1: never): an aborted connection
  // Called before every read with the bytes sent so far (a test's clock or cancel button).
  std::function<void(size_t sent)> beforeRead = nullptr;
};

class FakeHttp : public Http {
 public:
  struct Request {
    std::string agent, host;
    int port;
    std::string path, acceptType;
  };
  std::unique_ptr<HttpSession> OpenSession(const std::string& agent) override;

  std::map<std::string, FakeHttpResponse> responses;  // by "host:port/path"
  std::vector<Request> requests;
  bool sessionsFail = false;
  std::vector<std::string> unreachableHosts;  // names that do not resolve
};

}  // namespace tw
