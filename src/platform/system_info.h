// System-information service: the machine's folders, the user, the clock and the environment.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/system_error.h"

namespace tw {

// The running Windows version as the system's extended version query reports it.
struct OsVersion {
  uint32_t major = 0, minor = 0, build = 0;
  uint32_t platformId = 0;  // 1 for the 9x family, 2 for NT
};
constexpr uint32_t kPlatformNt = 2;

// The four registers the processor identification instruction fills for one leaf.
struct CpuRegisters {
  uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Threads: any thread; every method only reads (the fake's answers are fields a test sets before
// it starts the code under test), save Pause, which only waits.
class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // The Windows folder, without a trailing backslash ("C:\\windows").
  virtual std::string WindowsFolder() const = 0;
  // The system folder, without a trailing backslash.
  virtual std::string SystemFolder() const = 0;
  // The user's temporary folder as the system gives it (normally with a trailing backslash).
  virtual std::string TempFolder() const = 0;
  // A shell folder by CSIDL value, without a trailing backslash; empty when the system has none.
  virtual std::string SpecialFolder(int csidl) const = 0;
  // The logged-on user's name; empty when it cannot be read.
  virtual std::string UserName() const = 0;
  virtual LocalTime Now() const = 0;
  // Milliseconds since an arbitrary start, wrapping like GetTickCount.
  virtual uint32_t TickCount() const = 0;
  // An environment variable of this process; nothing when unset.
  virtual std::optional<std::string> Environment(const std::string& name) const = 0;
  // The running system's version (asked once; the answer does not change during a run).
  virtual OsVersion Version() const = 0;
  // Total physical memory in bytes.
  virtual uint64_t TotalPhysicalMemory() const = 0;
  // The primary screen's size in pixels and its bits per pixel.
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  virtual int BitsPerPixel() const = 0;
  // The height of window captions in pixels (the non-client metrics' caption height).
  virtual int CaptionHeight() const = 0;
  // The colour of 3-D faces (dialog backgrounds), as 0x00BBGGRR.
  virtual uint32_t FaceColor() const = 0;
  // This program's file name without folder or extension ("setup").
  virtual std::string ProgramName() const = 0;
  // This program's file, full path; empty when the system will not say.
  virtual std::string ProgramPath() const = 0;
  // The processor identification instruction for one leaf; nothing when the processor lacks it.
  virtual std::optional<CpuRegisters> CpuId(uint32_t leaf) const = 0;
  // The largest working set this process has had so far, in KiB; 0 when the system cannot tell.
  virtual uint64_t PeakWorkingSetKb() const = 0;
  // The system's default user-interface language id (1033 for US English); 0 when the system
  // cannot tell.
  virtual int UiLanguage() const = 0;
  // What a drive letter stands for when it is not a disk of its own: the folder a substituted
  // drive shows ("C:\\windows"), or "\\\\server\\share" for a network drive. Nothing for a
  // local disk or a letter in no use.
  virtual std::optional<std::string> DriveTarget(char letter) const = 0;
  // Text as the file system and the registry compare names: every character in upper case,
  // whatever its script, in a form fit only for comparing (two names are one name when their
  // keys are equal).
  virtual std::string CaseKey(const std::string& text) const = 0;
  // Bytes in the machine's ANSI code page (a project file as stored) as UTF-8 engine text; a byte
  // the code page leaves undefined comes through as the character the system reads it as.
  virtual std::string AnsiToUtf8(const std::string& bytes) const = 0;
  // Engine text in the machine's ANSI code page, byte for byte what it would have been stored as;
  // nothing when a character has no exact spelling there (no best-fit mapping is taken).
  virtual std::optional<std::string> Utf8ToAnsi(const std::string& text) const = 0;
  // The system's own text for an error, in the user's language, one line without the closing
  // period; empty for no error and for one the system has no text for.
  virtual std::string ErrorText(SystemError error) const = 0;
  // Waits on this thread for about this long (a moment for another program to let go of a file).
  virtual void Pause(uint32_t milliseconds) const = 0;
};

}  // namespace tw
