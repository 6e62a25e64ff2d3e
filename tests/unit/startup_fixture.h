// A packed project in a fake machine, started the way setup.exe starts: shared by the tests of
// everything that happens between process start and the first page.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/setup_app.h"
#include "crypt/project_key.h"
#include "platform/fake/fake_platform.h"

namespace tw {

const char kDist[] = "C:\\dist\\";
const char kWork[] = "C:\\users\\tester\\Temp\\tw090507\\";
// Requirements every machine meets; appended to test projects, so a test's own "SYSTEM" section,
// earlier in the file, wins.
const char kAnyMachine[] =
    "[SYSTEM]\r\n1=All Processors\r\n2=Any\r\n3=Any resolution\r\n4=Any colors\r\n"
    "os0=Yes\r\nos1=Yes\r\nos2=Yes\r\nos3=Yes\r\nos4=Yes\r\nos5=Yes\r\nos6=Yes\r\n";

class StartupFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.files.MakeFolders(kDist);
    // A disk-image build: start-up then has no cabinet to unpack before the first page.
    fake.files.MakeFolders(std::string(kDist) + "DiskImage1");
    fake.files.SetCurrentFolder("C:\\dist");
    fake.system.environment["TARNWICK_LOG"] = "C:\\trace.log";
    fake.registry.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    fake.registry.WriteString(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                              "ProgramFilesDir", "C:\\Program Files", false);
  }

  // Writes plain text, then encrypts it with the project key into the setup folder.
  void Pack(const std::string& name, const std::string& plain) {
    fake.files.MakeFolders("C:\\plain");
    ASSERT_TRUE(fake.files.WriteAll("C:\\plain\\" + name, plain));
    CRijndaelMethod method;
    InitProjectKey(method);
    std::string zivName = name.substr(0, name.size() - 4) + ".ziv";
    method.EncryptFile(fake.files.HostPath("C:\\plain\\" + name).string(),
                       fake.files.HostPath(kDist + zivName).string());
  }
  void PackProject(const std::string& setupInf, const std::string& dataInf = "[FILES]\r\nTOTAL=0\r\n") {
    Pack("setup.inf", setupInf + kAnyMachine);
    Pack("data.inf", dataInf);
  }
  int Start(const std::string& arguments = "") {
    app = std::make_unique<CSetupApp>(fake.platform, arguments);
    return app->Run();
  }
  std::string TraceText() { return fake.files.ReadAll("C:\\trace.log").value_or(""); }

  FakePlatform fake;
  std::unique_ptr<CSetupApp> app;
};

using Startup = StartupFixture;

}  // namespace tw
