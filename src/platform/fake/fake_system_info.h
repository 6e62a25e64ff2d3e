// System-information twin: every answer is a public field a test may change.
#pragma once
#include <map>

#include "platform/system_info.h"

namespace tw {

class FakeSystemInfo : public SystemInfo {
 public:
  FakeSystemInfo();

  std::string WindowsFolder() const override { return windowsFolder; }
  std::string SystemFolder() const override { return systemFolder; }
  std::string TempFolder() const override { return tempFolder; }
  std::string SpecialFolder(int csidl) const override;
  std::string UserName() const override { return userName; }
  LocalTime Now() const override { return now; }
  uint32_t TickCount() const override { return tickCount; }
  std::optional<std::string> Environment(const std::string& name) const override;

  std::string windowsFolder = "C:\\windows";
  std::string systemFolder = "C:\\windows\\system32";
  std::string tempFolder = "C:\\users\\tester\\Temp\\";
  std::string userName = "tester";
  LocalTime now{2026, 12, 8, 9, 5, 7};
  uint32_t tickCount = 1000;
  std::map<int, std::string> specialFolders;
  std::map<std::string, std::string> environment;
};

}  // namespace tw
