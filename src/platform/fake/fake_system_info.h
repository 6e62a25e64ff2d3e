// System-information twin: every answer is a public field a test may change.
#pragma once
#include <atomic>
#include <map>

#include "platform/system_info.h"

namespace tw {

// Bytes in Windows-1252 as UTF-8, as the system's table reads them (the five bytes it leaves
// undefined become the control characters of the same number).
std::string Cp1252ToUtf8(const std::string& bytes);
// A stored text file's bytes as the fakes read them: as a byte-order mark says, else Windows-1252.
std::string FakeStoredText(const std::string& bytes);
// UTF-8 in Windows-1252, "?" for each character it cannot spell.
std::string Utf8ToCp1252Lossy(const std::string& text);

// Milliseconds added up from any thread; copied by value with the fake it belongs to.
struct PauseTotal {
  std::atomic<uint64_t> ms{0};
  PauseTotal() = default;
  PauseTotal(const PauseTotal& other) : ms(other.ms.load()) {}
  PauseTotal& operator=(const PauseTotal& other) {
    ms = other.ms.load();
    return *this;
  }
};

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
  OsVersion Version() const override { return version; }
  uint64_t TotalPhysicalMemory() const override { return physicalMemory; }
  int ScreenWidth() const override { return screenWidth; }
  int ScreenHeight() const override { return screenHeight; }
  int BitsPerPixel() const override { return bitsPerPixel; }
  std::optional<CpuRegisters> CpuId(uint32_t leaf) const override;
  std::string ProgramName() const override { return programName; }
  std::string ProgramPath() const override { return programPath; }
  int UiLanguage() const override { return uiLanguage; }
  uint64_t PeakWorkingSetKb() const override { return peakWorkingSetKb; }
  int CaptionHeight() const override { return captionHeight; }
  uint32_t FaceColor() const override { return faceColor; }
  std::optional<std::string> DriveTarget(char letter) const override;
  // Upper case over the letters of Windows-1252, the code page the fake machine runs with.
  std::string CaseKey(const std::string& text) const override;
  // Windows-1252 exactly as the system's table has it: the five bytes it leaves undefined read as
  // the control characters of the same number, and write back so.
  std::string AnsiToUtf8(const std::string& bytes) const override;
  std::optional<std::string> Utf8ToAnsi(const std::string& text) const override;
  // The system's English texts for the codes the fakes give.
  std::string ErrorText(SystemError error) const override;
  // Waits not at all: the time asked for is only added up in paused.
  void Pause(uint32_t milliseconds) const override { paused.ms += milliseconds; }

  std::string windowsFolder = "C:\\windows";
  std::string systemFolder = "C:\\windows\\system32";
  std::string tempFolder = "C:\\users\\tester\\Temp\\";
  std::string userName = "tester";
  LocalTime now{2026, 12, 8, 9, 5, 7};
  uint32_t tickCount = 1000;
  int uiLanguage = 1033;
  uint64_t peakWorkingSetKb = 4096;
  std::map<int, std::string> specialFolders;
  std::map<char, std::string> driveTargets;  // by upper-case letter
  std::map<std::string, std::string> environment;
  OsVersion version{5, 1, 2600, kPlatformNt};  // Windows XP
  uint64_t physicalMemory = 512ull << 20;
  std::string programName = "setup";
  std::string programPath;  // empty: as if the system would not say
  int captionHeight = 18;
  uint32_t faceColor = 0xD8E9EC;  // 236,233,216
  int screenWidth = 1024, screenHeight = 768, bitsPerPixel = 32;
  // Leaves the processor answers; an empty map means the instruction is unavailable.
  std::map<uint32_t, CpuRegisters> cpuLeaves;
  // Milliseconds the code under test has paused for, from any thread.
  mutable PauseTotal paused;
};

}  // namespace tw
