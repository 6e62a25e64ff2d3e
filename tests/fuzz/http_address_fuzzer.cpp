// The web address of a user variable or a download over any bytes: an address that is taken has a
// host, a port from 1 to 65535 and a path from "/" without a fragment, and written out again as
// "http://host:port/path" it reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/fetch_url_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  const std::optional<tw::HttpAddress> address = tw::ParseHttpAddress(url);
  if (!address) return 0;
  if (address->host.empty() || address->port < 1 || address->port > 65535) std::abort();
  if (address->path.empty() || address->path[0] != '/' || address->path.find('#') != std::string::npos)
    std::abort();
  if (address->host.find_first_of("/?#") != std::string::npos) std::abort();
  const std::string written = "http://" + address->host + ":" + std::to_string(address->port) + address->path;
  const std::optional<tw::HttpAddress> again = tw::ParseHttpAddress(written);
  if (!again || again->host != address->host || again->port != address->port || again->path != address->path)
    std::abort();
  return 0;
}
