// What every Http must answer, against a small server on this machine's loopback.
#include "contract_env.h"

namespace tw {
namespace {

class HttpContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    server_ = ContractHttpServer();
    if (server_.empty()) GTEST_SKIP() << "no contract HTTP server";
    host_ = server_.substr(0, server_.find(':'));
    port_ = std::stoi(server_.substr(server_.find(':') + 1));
  }
  std::unique_ptr<HttpRequest> Get(const std::string& path) {
    session_ = platform().http.OpenSession("contract");
    if (!session_) return nullptr;
    connection_ = session_->Connect(host_, port_);
    if (!connection_) return nullptr;
    return connection_->OpenGet(path, "text/*");
  }

  std::string server_, host_;
  int port_ = 0;
  std::unique_ptr<HttpSession> session_;
  std::unique_ptr<HttpConnection> connection_;
};

TEST_F(HttpContract, AFileComesBackWithItsStatusAndLength) {
  auto request = Get("/hello.txt");
  ASSERT_NE(request, nullptr);
  ASSERT_TRUE(request->Send());
  EXPECT_EQ(request->Status().value_or(0), 200);
  EXPECT_EQ(request->ContentLength().value_or(0), 5u);
  char buffer[64];
  std::string body;
  for (int n; (n = request->Read(buffer, sizeof buffer)) > 0;) body.append(buffer, n);
  EXPECT_EQ(body, "hello");
  EXPECT_EQ(request->Read(buffer, sizeof buffer), 0) << "the end stays the end";
}

TEST_F(HttpContract, AMissingFileIsAStatusNotAFailure) {
  auto request = Get("/missing.txt");
  ASSERT_NE(request, nullptr);
  ASSERT_TRUE(request->Send());
  EXPECT_EQ(request->Status().value_or(0), 404);
}

}  // namespace
}  // namespace tw
