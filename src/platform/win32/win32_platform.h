// The real platform: each service implemented over the Win32 API (wide functions throughout, engine text converted at the seam).
#pragma once
#include "platform/platform.h"
#include "platform/win32/win32_cabinet.h"
#include "platform/win32/win32_pictures.h"

namespace tw {

// Sets an open file's creation and last-write times from an MS-DOS date and time read as local
// time (the file system keeps universal time); last access is left to the system. file is a HANDLE
// opened with write-attributes access.
bool SetStoredTimes(void* file, uint16_t dosDate, uint16_t dosTime);

// Engine text (UTF-8) as the wide functions take it; empty when the conversion fails.
std::wstring Wide(const std::string& text);
// Wide text as engine text (UTF-8); empty when it fails. The pointer form takes a null as empty.
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text);
// A window's text (an HWND's caption or an edit box's contents) as engine text; empty when it has
// none or the window is gone.
std::string WindowTextOf(void* window);
// Bytes in the machine's ANSI code page as engine text.
std::string AnsiToUtf8Text(const std::string& bytes);
// Engine text in the ANSI code page for a library whose export takes bytes; a character the code
// page cannot spell becomes "?".
std::string AnsiForLibrary(const std::string& text);

// Notes the calling thread's system error for the engine (see LastSystemError) and answers false,
// so a failed call ends in `return NoteLastError();`. The code form is for calls that return their
// error (the registry's, the service manager's status) rather than set it.
bool NoteLastError();
bool NoteError(uint32_t code);
// Notes the calling thread's system error and answers result, for a call that answers other than
// with a bool.
template <typename T>
T LastErrorAnd(T result) {
  NoteLastError();
  return result;
}

class Win32FileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) const override;
  bool IsFolder(const std::string& path) const override;
  bool MakeFolder(const std::string& path) override;
  bool MakePrivateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  TreeRemoval RemoveTree(const std::string& path, LeftInUse leftInUse) override;
  bool Copy(const std::string& from, const std::string& to, bool replace) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool Replace(const std::string& from, const std::string& to) override;
  Removal Remove(const std::string& path) override;
  Removal RemoveOwn(const std::string& path) override;
  bool HardLink(const std::string& existing, const std::string& link) override;
  bool RemoveAtRestart(const std::string& path) override;
  bool ReplaceAtRestart(const std::string& from, const std::string& to) override;
  std::optional<uint64_t> FileSize(const std::string& path) const override;
  std::optional<uint32_t> Attributes(const std::string& path) const override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  std::vector<std::string> Find(const std::string& pattern) const override;
  std::optional<std::string> ReadAll(const std::string& path) const override;
  std::optional<std::string> ReadText(const std::string& path) const override;
  bool WriteAll(const std::string& path, const std::string& data) override;
  bool Append(const std::string& path, const std::string& data) override;
  std::unique_ptr<std::istream> OpenRead(const std::string& path) const override;
  std::unique_ptr<std::ostream> OpenWrite(const std::string& path) override;
  std::unique_ptr<AppendFile> OpenAppend(const std::string& path) override;
  std::unique_ptr<StampedFile> CreateStamped(const std::string& path, const FileStamp& stamp) override;
  std::string CurrentFolder() const override;
  bool SetCurrentFolder(const std::string& folder) override;
  std::optional<std::string> FileVersion(const std::string& path) const override;

 private:
  Removal RemoveFile(const std::string& path, bool look);
};

class Win32ProfileFiles : public ProfileFiles {
 public:
  std::string ReadValue(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& fallback, int bufferSize) const override;
  bool WriteValue(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) override;
};

class Win32Registry : public Registry {
 public:
  bool CanOpen(RegRoot root, const std::string& key, RegAccess access) const override;
  bool CreateKey(RegRoot root, const std::string& key) override;
  std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                        const std::string& name) const override;
  std::optional<uint32_t> ReadDword(RegRoot root, const std::string& key,
                                    const std::string& name) const override;
  bool IsExpandableString(RegRoot root, const std::string& key, const std::string& name) const override;
  bool WriteString(RegRoot root, const std::string& key, const std::string& name,
                   const std::string& value, bool expandable) override;
  bool WriteDword(RegRoot root, const std::string& key, const std::string& name,
                  uint32_t value) override;
  bool WriteBinary(RegRoot root, const std::string& key, const std::string& name,
                   const std::string& bytes) override;
  std::optional<RegValue> ReadRawValue(RegRoot root, const std::string& key,
                                       const std::string& name) const override;
  bool WriteRawValue(RegRoot root, const std::string& key, const std::string& name,
                     const RegValue& value) override;
  bool DeleteValue(RegRoot root, const std::string& key, const std::string& name) override;
  bool DeleteTree(RegRoot root, const std::string& key) override;
  bool IsEmptyKey(RegRoot root, const std::string& key) const override;
};

class Win32SystemInfo : public SystemInfo {
 public:
  std::string WindowsFolder() const override;
  std::string SystemFolder() const override;
  std::string TempFolder() const override;
  std::string SpecialFolder(int csidl) const override;
  std::string UserName() const override;
  LocalTime Now() const override;
  uint32_t TickCount() const override;
  std::optional<std::string> Environment(const std::string& name) const override;
  OsVersion Version() const override;
  uint64_t TotalPhysicalMemory() const override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;
  int BitsPerPixel() const override;
  std::optional<CpuRegisters> CpuId(uint32_t leaf) const override;
  std::string ProgramName() const override;
  std::string ProgramPath() const override;
  int UiLanguage() const override;
  uint64_t PeakWorkingSetKb() const override;
  int CaptionHeight() const override;
  uint32_t FaceColor() const override;
  std::optional<std::string> DriveTarget(char letter) const override;
  std::string CaseKey(const std::string& text) const override;
  std::string AnsiToUtf8(const std::string& bytes) const override;
  std::optional<std::string> Utf8ToAnsi(const std::string& text) const override;
  std::string ErrorText(SystemError error) const override;
  void Pause(uint32_t milliseconds) const override;
};

class WindowObject;

class Win32Ui : public Ui {
 public:
  Win32Ui();  // out of line, like the destructor: the message window's object is complete there
  ~Win32Ui() override;
  bool InitSockets() override;
  bool LoadRichEdit() override;
  using Ui::ShowMessageBox;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style, NativeWindow owner) override;
  void PostQuit(int exitCode) override;
  int RunMessageLoop() override;
  int RunFixedDialog(const FixedDialogLook& look) override;
  void ShowWaitNotice() override;
  void CloseWaitNotice() override;
  bool TopLevelWindowExists(const std::string& className, const std::string& title) override;
  std::unique_ptr<PageWindow> CreatePageWindow(PageEvents& events) override;
  void RunAndPump(const std::function<void()>& work) override;
  void CallOnUiThread(const std::function<void()>& work) override;
  std::unique_ptr<DecorationWindow> CreateDecorationWindow(DecorationKind kind, DecorationEvents& events) override;
  int StartTimer(int milliseconds, std::function<void()> onTick) override;
  void StopTimer(int timerId) override;
  std::unique_ptr<UiThread> RunUiThread(std::function<void()> body) override;

 private:
  bool socketsStarted_ = false;
  void* waitNotice_ = nullptr;      // the notice's window while it is shown
  void* messageWindow_ = nullptr;   // receives work for the UI thread from workers
  std::unique_ptr<WindowObject> messageWindowObject_;  // runs that work: the message window's object
  unsigned long uiThread_ = 0;      // the thread that made the message window
};

class Win32Shell : public Shell {
 public:
  std::optional<uint32_t> RunAndWait(const std::string& program, const std::string& commandLine) override;
  bool Start(const std::string& program, const std::string& commandLine) override;
  bool Open(const std::string& target) override;
  bool PrepareThread() override;
  bool OpenWith(const std::string& target, const std::string& parameters, const std::string& folder) override;
  std::optional<int> CallExport(const std::string& library, const std::string& exportName,
                                const std::string& argument) override;
  bool PlaySoundFile(const std::string& path, bool repeat) override;
  std::optional<std::string> BrowseForFolder(
      const std::string& title, const std::string& prompt,
      const std::function<bool(const std::string& path, NativeWindow dialog)>& accept, PageWindow* owner) override;
  bool CreateShellLink(const ShellLink& link, const std::string& linkPath) override;
  bool CreateInternetShortcut(const std::string& url, const std::string& shortcutPath) override;
  bool Restart() override;
  std::unique_ptr<MachineLock> TakeMachineLock(const std::string& name, uint32_t waitMs) override;
  bool WriteToParentConsole(const std::string& text) override;
  void EndProcess(int exitCode) override;
};

class Win32Http : public Http {
 public:
  std::unique_ptr<HttpSession> OpenSession(const std::string& agent) override;
};

class Win32Services : public Services {
 public:
  ServiceResult Create(const ServiceSpec& spec) override;
  bool Update(const ServiceSpec& spec) override;
  std::optional<ServiceSpec> Configuration(const std::string& name) const override;
  ServiceRemoval Remove(const std::string& name) override;
};

struct Win32Platform {
  Win32FileSystem files;
  Win32ProfileFiles profiles;
  Win32Registry registry;
  Win32SystemInfo system;
  Win32Ui ui;
  Win32Shell shell;
  Win32Http http;
  Win32Pictures pictures;
  Win32Cabinets cabinets;
  Win32Services services;
  Platform platform{files, profiles, registry, system, ui, shell, http, pictures, cabinets, services};
};

// Limits the DLL search to the system folder before anything else loads, so a DLL planted beside
// setup.exe (often in a Downloads folder) is never picked up.
void HardenDllSearch();
// The whole command line of the process, program name included as the caller gave it.
std::string ProcessCommandLine();
// The command line without the program name, as WinMain's own argument has it but in wide
// characters, so a path the ANSI code page cannot spell comes through whole.
std::string ProcessArguments();
// Ends the process at once with exitCode: threads still running (a billboard, say) are ended with
// it rather than having the platform torn down under them.
[[noreturn]] void EndProcess(int exitCode);

}  // namespace tw
