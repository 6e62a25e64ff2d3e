// HTTP client service, in the steps a transfer takes (session, connection, request, response), so a
// caller can stop between any two of them. Win32 uses WinINet with the system's proxy settings.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tw {

class HttpRequest {
 public:
  virtual ~HttpRequest() = default;
  // Sends the request without extra headers; false when it could not be sent.
  virtual bool Send() = 0;
  // The response's status code; nothing when it cannot be read.
  virtual std::optional<int> Status() = 0;
  // The Content-Length the server reported; nothing when it reported none.
  virtual std::optional<uint64_t> ContentLength() = 0;
  // Reads up to size bytes of the body: the count read, 0 at the end, -1 on an error.
  virtual int Read(char* buffer, int size) = 0;
};

class HttpConnection {
 public:
  virtual ~HttpConnection() = default;
  // A GET request for path, always reloaded from the server and never cached; null on failure.
  virtual std::unique_ptr<HttpRequest> OpenGet(const std::string& path, const std::string& acceptType) = 0;
};

class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // A connection to host on port; null on failure.
  virtual std::unique_ptr<HttpConnection> Connect(const std::string& host, int port) = 0;
};

// Threads: any thread opens a session; a session and what it opens are used by one thread at a
// time (the download's transfer thread, or the caller of a web text). The fake records requests
// without a lock, so two transfers never run at once under it.
class Http {
 public:
  virtual ~Http() = default;
  // A session that names itself with agent; null on failure.
  virtual std::unique_ptr<HttpSession> OpenSession(const std::string& agent) = 0;
};

}  // namespace tw
