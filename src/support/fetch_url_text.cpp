#include "support/fetch_url_text.h"

#include <algorithm>
#include <cctype>

namespace tw {
namespace {

constexpr int kReadBuffer = 1024;
constexpr int kDefaultPort = 80;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

// The port after the host's colon; an empty port means the default one.
std::optional<int> ParsePort(const std::string& text) {
  if (text.empty()) return kDefaultPort;
  if (text.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

}  // namespace

std::optional<HttpAddress> ParseHttpAddress(const std::string& url) {
  std::string rest = url;
  if (StartsWithNoCase(rest, "http://")) {
    rest.erase(0, 7);
  } else {
    // Only plain HTTP is spoken; "https://", "ftp://" and the like cannot be fetched here.
    size_t scheme = rest.find("://");
    if (scheme != std::string::npos && scheme < rest.find_first_of("/?#")) return std::nullopt;
  }

  const size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
  std::string authority = rest.substr(0, authorityEnd);
  std::string path = rest.substr(authorityEnd);
  path = path.substr(0, path.find('#'));
  if (path.empty() || path[0] != '/') path.insert(0, "/");

  HttpAddress address;
  address.path = path;
  const size_t colon = authority.rfind(':');
  const size_t bracket = authority.rfind(']');  // an IPv6 literal holds colons of its own
  if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
    std::optional<int> port = ParsePort(authority.substr(colon + 1));
    if (!port) return std::nullopt;
    address.port = *port;
    authority.erase(colon);
  }
  if (authority.empty()) return std::nullopt;
  address.host = authority;
  return address;
}

std::string FetchUrlText(Http& http, const std::string& agent, const std::string& url) {
  std::optional<HttpAddress> address = ParseHttpAddress(url);
  if (!address) return "";
  // Declared in opening order so they close in the reverse one.
  std::unique_ptr<HttpSession> session = http.OpenSession(agent);
  if (!session) return "";
  std::unique_ptr<HttpConnection> connection = session->Connect(address->host, address->port);
  if (!connection) return "";
  std::unique_ptr<HttpRequest> request = connection->OpenGet(address->path, "text/*");
  if (!request || !request->Send()) return "";
  std::optional<int> status = request->Status();
  // An error page is not the text asked for; the caller then falls back to its default.
  if (!status || *status < 200 || *status > 299) return "";
  std::optional<uint64_t> contentLength = request->ContentLength();

  std::string text;
  char buffer[kReadBuffer];
  while (text.size() < kMaxUrlTextBytes) {
    int count = request->Read(buffer, kReadBuffer);
    if (count < 0) return "";
    if (count == 0) break;
    size_t room = kMaxUrlTextBytes - text.size();
    text.append(buffer, std::min({static_cast<size_t>(count), static_cast<size_t>(kReadBuffer), room}));
  }
  if (contentLength && *contentLength < text.size()) text.resize(static_cast<size_t>(*contentLength));
  return text;
}

}  // namespace tw
