// UI driver of the end-to-end suite: finds the windows another process shows under Wine, reads their
// texts, clicks their buttons and types keys, so the shell tests can script a run of setup.exe.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kFound = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;
constexpr DWORD kPollMs = 50;
// A window of a hung process must not hang the driver: text requests give up after this long.
constexpr UINT kSendTimeoutMs = 2000;

struct Options {
  std::string command;
  std::string title;
  std::string className;
  std::string caption;
  bool haveTitle = false;
  bool haveId = false;
  bool haveCaption = false;
  long id = 0;
  long virtualKey = 0;
  long item = -1;
  std::string text;
  bool haveText = false;
  DWORD timeoutMs = 10000;
};

// Texts travel as UTF-8, on the command line and on stdout, whatever the machine's code page.
std::wstring Wide(const std::string& text) {
  int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string Utf8(const wchar_t* text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(length - 1));
  return narrow;
}

// One line per window on stdout, so control characters are escaped; a test decodes them with
// printf %b. Bytes above 0x7f pass as they are (UTF-8 text).
std::string Escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02x", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

// WM_GETTEXT reaches into the owning process (GetWindowText would only see the caption the system
// keeps, which edit controls do not update); the timeout keeps a hung target from hanging us.
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return Utf8(buffer);
  }
  std::vector<wchar_t> buffer(length + 2, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return std::string();
  }
  buffer[std::min<size_t>(copied, length)] = L'\0';
  return Utf8(buffer.data());
}

// A top-level window's title as the system keeps it: no message to the owner, so polling many
// windows stays quick even while their owners are busy.
std::string TitleOf(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return Utf8(buffer);
}

std::string ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return Utf8(buffer);
}

std::string Handle(HWND window) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return buffer;
}

// Caption of a button as the user reads it: "&Next >" matches "Next >".
std::string WithoutMnemonic(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// Enumeration callbacks are named CALLBACK functions: a lambda has the wrong calling convention on
// 32-bit Windows.
BOOL CALLBACK AddVisibleWindow(HWND window, LPARAM param) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(AddVisibleWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// All descendants, in the order the system keeps them (a dialog's tab order).
std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, AddWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindTopLevel(const Options& options) {
  for (HWND window : TopLevelWindows()) {
    if (TitleOf(window) != options.title) continue;
    if (!options.className.empty() && ClassOf(window) != options.className) continue;
    return window;
  }
  return nullptr;
}

// A control the user could click now: visible, enabled, matching the id or the caption.
HWND FindControl(HWND top, const Options& options) {
  for (HWND child : ChildWindows(top)) {
    if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
    if (options.haveId) {
      if (GetDlgCtrlID(child) == options.id) return child;
    } else {
      std::string text = TextOf(child);
      if (text == options.caption || WithoutMnemonic(text) == options.caption) return child;
    }
  }
  return nullptr;
}

// Polls until found returns true or the timeout passes; the target is another process that shows
// its windows in its own time.
template <typename Probe>
bool PollUntil(DWORD timeoutMs, Probe found) {
  DWORD start = GetTickCount();
  for (;;) {
    if (found()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(kPollMs);
  }
}

int NotFound(const Options& options, const char* what) {
  std::fprintf(stderr, "uidriver: %s: no %s for title \"%s\"%s%s within %lu ms\n", options.command.c_str(), what,
               options.title.c_str(), options.className.empty() ? "" : " class ",
               options.className.c_str(), static_cast<unsigned long>(options.timeoutMs));
  return kNotFound;
}

// With --id or --caption, the window must also show that control (a page replacing another of the
// same title).
int Wait(const Options& options) {
  HWND window = nullptr;
  bool control = options.haveId || !options.caption.empty();
  if (!PollUntil(options.timeoutMs, [&] {
        window = FindTopLevel(options);
        return window && (!control || FindControl(window, options));
      })) {
    return NotFound(options, "window");
  }
  std::printf("%s\n", Handle(window).c_str());
  return kFound;
}

int Gone(const Options& options) {
  if (!PollUntil(options.timeoutMs, [&] { return FindTopLevel(options) == nullptr; })) {
    std::fprintf(stderr, "uidriver: gone: window \"%s\" still shown after %lu ms\n", options.title.c_str(),
                 static_cast<unsigned long>(options.timeoutMs));
    return kNotFound;
  }
  return kFound;
}

int Texts(const Options& options) {
  HWND window = nullptr;
  if (!PollUntil(options.timeoutMs, [&] { return (window = FindTopLevel(options)) != nullptr; })) {
    return NotFound(options, "window");
  }
  std::printf("%s\n", Escape(TitleOf(window)).c_str());
  for (HWND child : ChildWindows(window)) {
    std::printf("%u\t%s\t%s\n", static_cast<unsigned>(GetDlgCtrlID(child)), Escape(ClassOf(child)).c_str(),
                Escape(TextOf(child)).c_str());
  }
  return kFound;
}

// BM_CLICK is posted, not sent: the click may open a modal dialog or end the target process, and a
// sent message would keep the driver waiting for that. The caller waits for the effect instead.
int Click(const Options& options) {
  HWND control = nullptr;
  if (!PollUntil(options.timeoutMs, [&] {
        HWND top = FindTopLevel(options);
        return top && (control = FindControl(top, options)) != nullptr;
      })) {
    return NotFound(options, "enabled control");
  }
  if (!PostMessageA(control, BM_CLICK, 0, 0)) {
    std::fprintf(stderr, "uidriver: click: PostMessage failed (%lu)\n", GetLastError());
    return kNotFound;
  }
  std::printf("%s\n", Handle(control).c_str());
  return kFound;
}

// The key goes to the window that has the keyboard focus in the target's thread (or to the window
// itself), posted as a key press and release: the target's own message loop sees it as typed.
int Key(const Options& options) {
  HWND top = nullptr;
  if (!PollUntil(options.timeoutMs, [&] { return (top = FindTopLevel(options)) != nullptr; })) {
    return NotFound(options, "window");
  }
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  HWND target = top;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) && info.hwndFocus &&
      (info.hwndFocus == top || IsChild(top, info.hwndFocus))) {
    target = info.hwndFocus;
  }
  WPARAM key = static_cast<WPARAM>(options.virtualKey);
  if (!PostMessageA(target, WM_KEYDOWN, key, 1) || !PostMessageA(target, WM_KEYUP, key, 0xC0000001)) {
    std::fprintf(stderr, "uidriver: key: PostMessage failed (%lu)\n", GetLastError());
    return kNotFound;
  }
  std::printf("%s\n", Handle(target).c_str());
  return kFound;
}

// The control with the id, enabled or not, once its window is up.
HWND AwaitControl(const Options& options) {
  HWND control = nullptr;
  PollUntil(options.timeoutMs, [&] {
    HWND top = FindTopLevel(options);
    return top && (control = FindControl(top, options)) != nullptr;
  });
  return control;
}

// WM_SETTEXT as the user's typing would leave it: an edit box also tells its page of the change.
int SetText(const Options& options) {
  HWND control = AwaitControl(options);
  if (!control) return NotFound(options, "enabled control");
  DWORD_PTR result = 0;
  const std::wstring text = Wide(options.text);
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &result)) {
    std::fprintf(stderr, "uidriver: settext: the window did not answer (%lu)\n", GetLastError());
    return kNotFound;
  }
  std::printf("%s\n", Handle(control).c_str());
  return kFound;
}

// Selects the tree's top-level item with that index. Posted: the page may answer the selection
// with a modal menu, which the caller then drives with keys.
int SelectItem(const Options& options) {
  HWND tree = AwaitControl(options);
  if (!tree) return NotFound(options, "enabled control");
  DWORD_PTR item = 0;
  SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &item);
  for (long i = 0; i < options.item && item; ++i) {
    DWORD_PTR next = 0;
    SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_NEXT, static_cast<LPARAM>(item), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &next);
    item = next;
  }
  if (!item || !PostMessageA(tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(item))) {
    std::fprintf(stderr, "uidriver: select: no item %ld\n", options.item);
    return kNotFound;
  }
  std::printf("%s\n", Handle(tree).c_str());
  return kFound;
}

// The close box as a person uses it: the system menu's Close, posted to the top-level window.
int Close(const Options& options) {
  HWND top = nullptr;
  if (!PollUntil(options.timeoutMs, [&] { return (top = FindTopLevel(options)) != nullptr; })) {
    return NotFound(options, "window");
  }
  if (!PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0)) {
    std::fprintf(stderr, "uidriver: close: PostMessage failed (%lu)\n", GetLastError());
    return kNotFound;
  }
  std::printf("%s\n", Handle(top).c_str());
  return kFound;
}

// TVITEMA as a 32-bit process lays it out: the shipped 32-bit setup.exe is read from this 64-bit
// driver, and every pointer-sized field there is four bytes.
struct TvItem32 {
  uint32_t mask, hItem, state, stateMask, pszText;
  int32_t cchTextMax, iImage, iSelectedImage, cChildren;
  uint32_t lParam;
};

// Asks the tree for one item's text and image through memory lent in the target process, laid out
// as the target's own TVITEMA. False when the tree does not answer.
template <typename Item>
bool ReadTreeItem(HWND tree, HANDLE process, char* remote, DWORD_PTR item, std::string& text, int& image) {
  constexpr SIZE_T kTextOffset = 512, kTextMax = 256;
  Item request = {};
  request.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
  request.hItem = (decltype(request.hItem))(item);
  request.pszText = (decltype(request.pszText))(reinterpret_cast<uintptr_t>(remote + kTextOffset));
  request.cchTextMax = kTextMax;
  Item answer = {};
  char buffer[kTextMax + 1] = {};
  DWORD_PTR done = 0;
  if (!WriteProcessMemory(process, remote, &request, sizeof request, nullptr) ||
      !SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &done) || !done ||
      !ReadProcessMemory(process, remote, &answer, sizeof answer, nullptr) ||
      !ReadProcessMemory(process, remote + kTextOffset, buffer, kTextMax, nullptr))
    return false;
  text = buffer;
  image = answer.iImage;
  return true;
}

// One line per top-level item of a tree: its text and its image.
int Items(const Options& options) {
  HWND tree = AwaitControl(options);
  if (!tree) return NotFound(options, "enabled control");
  DWORD processId = 0;
  GetWindowThreadProcessId(tree, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_LIMITED_INFORMATION,
                               FALSE, processId);
  if (!process) return NotFound(options, "process");
  BOOL wow64 = FALSE;
  IsWow64Process(process, &wow64);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  int status = remote ? kFound : kNotFound;
  DWORD_PTR item = 0;
  if (remote) SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &item);
  while (remote && item) {
    std::string text;
    int image = 0;
    bool read = wow64 ? ReadTreeItem<TvItem32>(tree, process, remote, item, text, image)
                      : ReadTreeItem<TVITEMA>(tree, process, remote, item, text, image);
    if (!read) {
      status = kNotFound;
      break;
    }
    std::printf("%s\t%d\n", Escape(text).c_str(), image);
    DWORD_PTR next = 0;
    SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_NEXT, static_cast<LPARAM>(item), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &next);
    item = next;
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (status != kFound) std::fprintf(stderr, "uidriver: items: cannot read the tree's items\n");
  return status;
}

// Where a window (or, with --id, one of its controls) lies on the screen: left top right bottom. A
// test samples the pixels of its screenshots there.
int RectOf(const Options& options) {
  HWND window = nullptr;
  if (options.haveId) {
    window = AwaitControl(options);
  } else {
    PollUntil(options.timeoutMs, [&] { return (window = FindTopLevel(options)) != nullptr; });
  }
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return NotFound(options, "window");
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  return kFound;
}

int List() {
  for (HWND window : TopLevelWindows()) {
    std::printf("%s\t%s\t%s\n", Handle(window).c_str(), Escape(ClassOf(window)).c_str(),
                Escape(TitleOf(window)).c_str());
  }
  return kFound;
}

int Usage(const char* problem) {
  std::fprintf(stderr,
               "uidriver: %s\n"
               "usage: uidriver wait --title T [--class C] [--id N | --caption C] [--timeout MS]\n"
               "       uidriver gone --title T [--class C] [--timeout MS]\n"
               "       uidriver texts --title T [--class C] [--timeout MS]\n"
               "       uidriver click --title T [--class C] (--id N | --caption C) [--timeout MS]\n"
               "       uidriver key --title T [--class C] --vk N [--timeout MS]\n"
               "       uidriver settext --title T [--class C] --id N --text S [--timeout MS]\n"
               "       uidriver select --title T [--class C] --id N --item K [--timeout MS]\n"
               "       uidriver items --title T [--class C] --id N [--timeout MS]\n"
               "       uidriver close --title T [--class C] [--timeout MS]\n"
               "       uidriver rect --title T [--class C] [--id N] [--timeout MS]\n"
               "       uidriver list\n",
               problem);
  return kUsage;
}

bool Parse(int argc, char** argv, Options& options, std::string& problem) {
  if (argc < 2) {
    problem = "missing command";
    return false;
  }
  options.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string flag = argv[i];
    if (i + 1 >= argc) {
      problem = "missing value after " + flag;
      return false;
    }
    const char* value = argv[++i];
    if (flag == "--title") {
      options.title = value;
      options.haveTitle = true;
    } else if (flag == "--class") {
      options.className = value;
    } else if (flag == "--id") {
      options.id = std::strtol(value, nullptr, 0);
      options.haveId = true;
    } else if (flag == "--caption") {
      options.caption = value;
      options.haveCaption = true;
    } else if (flag == "--vk") {
      options.virtualKey = std::strtol(value, nullptr, 0);
    } else if (flag == "--item") {
      options.item = std::strtol(value, nullptr, 0);
    } else if (flag == "--text") {
      options.text = value;
      options.haveText = true;
    } else if (flag == "--timeout") {
      options.timeoutMs = std::strtoul(value, nullptr, 0);
    } else {
      problem = "unknown option " + flag;
      return false;
    }
  }
  return true;
}

}  // namespace

int main() {
  // Plain "\n" line ends: the shell reads this output.
  _setmode(_fileno(stdout), _O_BINARY);
  // The arguments in wide characters, so a title the code page cannot spell arrives whole.
  int argc = 0;
  wchar_t** wideArgv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!wideArgv) return Usage("cannot read the command line");
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(Utf8(wideArgv[i]));
  LocalFree(wideArgv);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  Options options;
  std::string problem;
  if (!Parse(argc, argv.data(), options, problem)) return Usage(problem.c_str());
  const std::string& command = options.command;
  if (command == "list") return List();
  if (command != "wait" && command != "gone" && command != "texts" && command != "click" && command != "key" &&
      command != "settext" && command != "select" && command != "items" && command != "close" &&
      command != "rect") {
    return Usage(("unknown command " + command).c_str());
  }
  if (!options.haveTitle) return Usage("--title is required");
  if (command == "wait") return Wait(options);
  if (command == "gone") return Gone(options);
  if (command == "texts") return Texts(options);
  if (command == "key") return options.virtualKey > 0 ? Key(options) : Usage("key needs --vk N");
  if (command == "settext") return options.haveId && options.haveText ? SetText(options) : Usage("settext needs --id and --text");
  if (command == "close") return Close(options);
  if (command == "rect") return RectOf(options);
  if (command == "items") return options.haveId ? Items(options) : Usage("items needs --id");
  if (command == "select") return options.haveId && options.item >= 0 ? SelectItem(options) : Usage("select needs --id and --item");
  if (options.haveId == options.haveCaption) return Usage("click needs exactly one of --id and --caption");
  return Click(options);
}
