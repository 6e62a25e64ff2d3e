// Fetching a web text: the address forms, each step that can fail, and the bounds on the body.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/fake_http.h"
#include "support/fetch_url_text.h"

namespace tw {
namespace {

// A server whose reported length and body size are set apart, for the cut and the cap.
struct StreamingServer {
  std::optional<uint64_t> length;
  uint64_t bodySize = 0;  // bytes of 'x' served
  uint64_t served = 0;
};

class StreamingRequest : public HttpRequest {
 public:
  explicit StreamingRequest(StreamingServer& server) : server_(server) {}
  bool Send() override { return true; }
  std::optional<int> Status() override { return 200; }
  std::optional<uint64_t> ContentLength() override { return server_.length; }
  int Read(char* buffer, int size) override {
    uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(size), server_.bodySize - server_.served);
    std::memset(buffer, 'x', static_cast<size_t>(count));
    server_.served += count;
    return static_cast<int>(count);
  }

 private:
  StreamingServer& server_;
};

class StreamingHttp : public Http, public StreamingServer {
  struct Connection : HttpConnection {
    StreamingServer& server;
    explicit Connection(StreamingServer& s) : server(s) {}
    std::unique_ptr<HttpRequest> OpenGet(const std::string&, const std::string&) override {
      return std::make_unique<StreamingRequest>(server);
    }
  };
  struct Session : HttpSession {
    StreamingServer& server;
    explicit Session(StreamingServer& s) : server(s) {}
    std::unique_ptr<HttpConnection> Connect(const std::string&, int) override {
      return std::make_unique<Connection>(server);
    }
  };

 public:
  std::unique_ptr<HttpSession> OpenSession(const std::string&) override { return std::make_unique<Session>(*this); }
};

TEST(HttpAddressTest, HostPortAndPath) {
  auto plain = ParseHttpAddress("http://example.com/v/latest.txt");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->host, "example.com");
  EXPECT_EQ(plain->port, 80);
  EXPECT_EQ(plain->path, "/v/latest.txt");

  auto ported = ParseHttpAddress("HTTP://example.com:8080/a?b=c#top");
  ASSERT_TRUE(ported);
  EXPECT_EQ(ported->host, "example.com");
  EXPECT_EQ(ported->port, 8080);
  EXPECT_EQ(ported->path, "/a?b=c") << "the fragment never goes to the server";
}

TEST(HttpAddressTest, TheSchemeMayBeLeftOut) {
  auto bare = ParseHttpAddress("example.com/x.txt");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->host, "example.com");
  EXPECT_EQ(bare->path, "/x.txt");
  auto hostOnly = ParseHttpAddress("example.com");
  ASSERT_TRUE(hostOnly);
  EXPECT_EQ(hostOnly->path, "/");
  auto query = ParseHttpAddress("example.com?q=http://other/");
  ASSERT_TRUE(query);
  EXPECT_EQ(query->host, "example.com");
  EXPECT_EQ(query->path, "/?q=http://other/") << "only the leading scheme is removed";
}

TEST(HttpAddressTest, UnusableAddresses) {
  for (const char* url : {"", "http://", "http:///x", "https://example.com/x", "ftp://example.com/x",
                          "http://example.com:0/", "http://example.com:65536/", "http://example.com:8o/",
                          "http://:80/x", "http://example.com:123456/"})
    EXPECT_FALSE(ParseHttpAddress(url)) << url;
  auto emptyPort = ParseHttpAddress("http://example.com:/x");
  ASSERT_TRUE(emptyPort);
  EXPECT_EQ(emptyPort->port, 80);
  auto ipv6 = ParseHttpAddress("http://[::1]:81/x");
  ASSERT_TRUE(ipv6);
  EXPECT_EQ(ipv6->host, "[::1]");
  EXPECT_EQ(ipv6->port, 81);
}

class FetchUrlTextTest : public ::testing::Test {
 protected:
  FakeHttp http;
};

TEST_F(FetchUrlTextTest, FetchesTheBodyOnPort80AsText) {
  http.responses["example.com:80/v.txt"] = {200, "2.5.1"};
  EXPECT_EQ(FetchUrlText(http, "setup", "http://example.com/v.txt"), "2.5.1");
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(http.requests[0].agent, "setup");
  EXPECT_EQ(http.requests[0].port, 80);
  EXPECT_EQ(http.requests[0].path, "/v.txt");
  EXPECT_EQ(http.requests[0].acceptType, "text/*");
}

TEST_F(FetchUrlTextTest, HonoursAnExplicitPort) {
  http.responses["example.com:8080/v.txt"] = {200, "on 8080"};
  EXPECT_EQ(FetchUrlText(http, "setup", "http://example.com:8080/v.txt"), "on 8080");
  EXPECT_EQ(http.requests.at(0).host, "example.com");
}

TEST_F(FetchUrlTextTest, ReadsBodiesLongerThanOneBuffer) {
  std::string body;
  for (int i = 0; i < 3000; ++i) body += static_cast<char>('a' + i % 26);
  http.responses["example.com:80/long"] = {200, body, false};
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/long"), body) << "no length reported: read to the end";
}

TEST_F(FetchUrlTextTest, EveryFailingStepGivesEmptyText) {
  http.responses["example.com:80/v.txt"] = {200, "text"};
  const std::string url = "http://example.com/v.txt";

  http.sessionsFail = true;
  EXPECT_EQ(FetchUrlText(http, "setup", url), "");
  http.sessionsFail = false;

  http.unreachableHosts = {"example.com"};
  EXPECT_EQ(FetchUrlText(http, "setup", url), "");
  EXPECT_TRUE(http.requests.empty());
  http.unreachableHosts.clear();

  http.responses["example.com:80/v.txt"].failSend = true;
  EXPECT_EQ(FetchUrlText(http, "setup", url), "");
  http.responses["example.com:80/v.txt"].failSend = false;

  http.responses["example.com:80/v.txt"].failReadAfter = 2;
  EXPECT_EQ(FetchUrlText(http, "setup", url), "") << "a read error drops what was read";
  http.responses["example.com:80/v.txt"].failReadAfter = -1;

  EXPECT_EQ(FetchUrlText(http, "setup", url), "text") << "nothing left over from the failures";
  EXPECT_EQ(FetchUrlText(http, "setup", "https://example.com/v.txt"), "");
}

TEST_F(FetchUrlTextTest, AnErrorStatusGivesEmptyText) {
  http.responses["example.com:80/gone"] = {404, "<html>Not Found</html>"};
  http.responses["example.com:80/moved"] = {301, "<html>Moved</html>"};
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/gone"), "");
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/moved"), "");
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/unknown"), "");
}

TEST(FetchUrlTextBounds, TheTextIsCutToTheReportedLength) {
  StreamingHttp http;
  http.bodySize = 10;
  http.length = 4;
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/x"), "xxxx");
  StreamingHttp shortBody;
  shortBody.bodySize = 3;
  shortBody.length = 100;
  EXPECT_EQ(FetchUrlText(shortBody, "setup", "example.com/x"), "xxx") << "a longer claim adds nothing";
}

TEST(FetchUrlTextBounds, AnEndlessBodyStopsAtTheCap) {
  StreamingHttp http;
  http.bodySize = UINT64_MAX;
  EXPECT_EQ(FetchUrlText(http, "setup", "example.com/x").size(), kMaxUrlTextBytes);
  EXPECT_LE(http.served, kMaxUrlTextBytes + 1024);
}

}  // namespace
}  // namespace tw
