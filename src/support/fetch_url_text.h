// Fetches a short text from a web address (the value of a user variable taken from the web): one
// synchronous GET on the calling thread, with every failure answered as empty text.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "platform/http.h"

namespace tw {

// The largest text kept from a response; a server cannot make the engine hold more.
constexpr size_t kMaxUrlTextBytes = 1 << 20;

struct HttpAddress {
  std::string host;
  int port = 80;
  std::string path;  // always starts with "/"; any "#fragment" dropped
};

// "http://host[:port]/path", or the same without "http://"; nothing for another scheme, an empty
// host or a port that is not a number from 1 to 65535.
std::optional<HttpAddress> ParseHttpAddress(const std::string& url);

// The body of the response to a GET for url, accepting "text/*", cut to the length the server
// reported and to kMaxUrlTextBytes. Empty when the address is unusable, any step fails, or the
// status is not a success (2xx).
std::string FetchUrlText(Http& http, const std::string& agent, const std::string& url);

}  // namespace tw
