// Fetching a web text: the address forms, each step that can fail, and the bounds on the body.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/fake_http.h"
#include "support/fetch_url_text.h"

namespace tw {
namespace {

// A server that streams bodySize bytes of 'x' and reports length, so the two can disagree.
struct StreamingHttp : Http {
  struct Request : HttpRequest {
    StreamingHttp& server;
    explicit Request(StreamingHttp& s) : server(s) {}
    bool Send() override { return true; }
    std::optional<int> Status() override { return 200; }
    std::optional<uint64_t> ContentLength() override { return server.length; }
    int Read(char* buffer, int size) override {
      uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(size), server.bodySize - server.served);
      std::memset(buffer, 'x', static_cast<size_t>(count));
      server.served += count;
      return static_cast<int>(count);
    }
  };
  // One small object serves as both the session and the connection.
  struct Channel : HttpSession, HttpConnection {
    StreamingHttp& server;
    explicit Channel(StreamingHttp& s) : server(s) {}
    std::unique_ptr<HttpConnection> Connect(const std::string&, int) override {
      return std::make_unique<Channel>(server);
    }
    std::unique_ptr<HttpRequest> OpenGet(const std::string&, const std::string&) override {
      return std::make_unique<Request>(server);
    }
  };
  std::unique_ptr<HttpSession> OpenSession(const std::string&) override { return std::make_unique<Channel>(*this); }

  std::optional<uint64_t> length;
  uint64_t bodySize = 0;
  uint64_t served = 0;
};

std::string Describe(const std::optional<HttpAddress>& address) {
  if (!address) return "none";
  return address->host + " " + std::to_string(address->port) + " " + address->path;
}

TEST(HttpAddressTest, HostPortAndPath) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://example.com/v/latest.txt", "example.com 80 /v/latest.txt"},
      {"HTTP://example.com:8080/a?b=c#top", "example.com 8080 /a?b=c"},
      {"example.com/x.txt", "example.com 80 /x.txt"},
      {"example.com", "example.com 80 /"},
      {"http://example.com:/x", "example.com 80 /x"},
      {"http://[::1]:81/x", "[::1] 81 /x"},
      {"example.com?q=http://other/", "example.com 80 /?q=http://other/"},
  };
  for (const auto& [url, expected] : cases) EXPECT_EQ(Describe(ParseHttpAddress(url)), expected) << url;
}

TEST(HttpAddressTest, UnusableAddresses) {
  for (const char* url : {"", "http://", "http:///x", "https://example.com/x", "ftp://example.com/x",
                          "http://example.com:0/", "http://example.com:65536/", "http://example.com:8o/",
                          "http://:80/x", "http://example.com:123456/"})
    EXPECT_EQ(Describe(ParseHttpAddress(url)), "none") << url;
}

TEST(FetchUrlTextTest, FetchesTheBodyAsTextOnTheAddressPort) {
  FakeHttp http;
  http.responses["example.com:80/v.txt"] = {200, "2.5.1"};
  http.responses["example.com:8080/v.txt"] = {200, "on 8080"};
  std::string longBody;
  for (int i = 0; i < 3000; ++i) longBody += static_cast<char>('a' + i % 26);
  http.responses["example.com:80/long"] = {200, longBody, false};

  EXPECT_EQ(FetchUrlText(http, "setup", "http://example.com/v.txt"), "2.5.1");
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(http.requests[0].agent, "setup");
  EXPECT_EQ(http.requests[0].acceptType, "text/*");
  EXPECT_EQ(FetchUrlText(http, "setup", "http://example.com:8080/v.txt"), "on 8080");
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/long"), longBody) << "no length reported: read to the end";
}

TEST(FetchUrlTextTest, EveryFailingStepGivesEmptyText) {
  FakeHttp http;
  FakeHttpResponse& response = http.responses["example.com:80/v.txt"] = {200, "text"};
  const std::string url = "http://example.com/v.txt";
  http.sessionsFail = true;
  EXPECT_EQ(FetchUrlText(http, "setup", url), "");
  http.sessionsFail = false;
  http.unreachableHosts = {"example.com"};
  EXPECT_EQ(FetchUrlText(http, "setup", url), "");
  http.unreachableHosts.clear();
  response.failSend = true;
  EXPECT_EQ(FetchUrlText(http, "setup", url), "");
  response.failSend = false;
  response.failReadAfter = 2;
  EXPECT_EQ(FetchUrlText(http, "setup", url), "") << "a read error drops what was read";
  response.failReadAfter = -1;
  EXPECT_EQ(FetchUrlText(http, "setup", url), "text");

  http.responses["example.com:80/gone"] = {404, "<html>Not Found</html>"};
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/gone"), "") << "an error page is not the text";
}

TEST(FetchUrlTextTest, TheTextIsCutToTheReportedLengthAndToTheCap) {
  StreamingHttp cut;
  cut.bodySize = 10;
  cut.length = 4;
  EXPECT_EQ(FetchUrlText(cut, "setup", "example.com/x"), "xxxx");
  StreamingHttp endless;
  endless.bodySize = UINT64_MAX;
  EXPECT_EQ(FetchUrlText(endless, "setup", "example.com/x").size(), kMaxUrlTextBytes);
  EXPECT_LE(endless.served, kMaxUrlTextBytes + 1024);
}

}  // namespace
}  // namespace tw
