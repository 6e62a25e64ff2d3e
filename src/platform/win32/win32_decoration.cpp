// Decoration windows (splash, billboard, backdrop), the frame's own timers, extra UI threads and
// sounds. Each window paints the last look its model gave it.
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "platform/win32/win32_pictures.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace tw {
namespace {

const wchar_t kDecorationClass[] = L"TarnwickDecoration";

class Win32DecorationWindow : public DecorationWindow, private WindowObject {
 public:
  Win32DecorationWindow(DecorationKind kind, DecorationEvents& events) : kind_(kind), events_(events) {}
  ~Win32DecorationWindow() override { End(); }

  bool Create();
  void Place(const Rect& outer) override {
    HWND window = window_.load();
    if (!window) return;
    HWND order = kind_ == DecorationKind::Backdrop ? nullptr : HWND_TOPMOST;
    UINT flags = SWP_NOACTIVATE | (order ? 0 : SWP_NOZORDER);
    SetWindowPos(window, order, outer.left, outer.top, outer.Width(), outer.Height(), flags);
  }
  void Show(bool visible) override {
    HWND window = window_.load();
    if (!window) return;
    ShowWindow(window, visible ? (kind_ == DecorationKind::Backdrop ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE) : SW_HIDE);
    // The backdrop lies behind the pages, which are windows of their own: showing it maximised
    // brings it forward, so it goes back down at once.
    if (visible && kind_ == DecorationKind::Backdrop)
      SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(window);
  }
  void SetCanvas(std::shared_ptr<Canvas> canvas, int left, int top) override {
    {
      std::lock_guard<std::mutex> lock(canvasMutex_);
      canvas_ = std::move(canvas);
      canvasLeft_ = left;
      canvasTop_ = top;
    }
    Repaint();
  }
  // InvalidateRect is one of the calls any thread may make; a window that is gone ignores it.
  void Repaint() override {
    if (HWND window = window_.load()) InvalidateRect(window, nullptr, FALSE);
  }
  void SetBackdrop(const BackdropLook& look) override {
    backdrop_ = look;
    hasBackdrop_ = true;
    HWND window = window_.load();
    if (!window) return;
    SetWindowTextW(window, Wide(look.title).c_str());
    SetMenu(window, nullptr);
    Show(true);
    InvalidateRect(window, nullptr, TRUE);
  }
  void SetTimer(int timerId, int milliseconds) override {
    if (HWND window = window_.load()) ::SetTimer(window, static_cast<UINT_PTR>(timerId), static_cast<UINT>(milliseconds), nullptr);
  }
  void KillTimer(int timerId) override {
    if (HWND window = window_.load()) ::KillTimer(window, static_cast<UINT_PTR>(timerId));
  }
  void End() override {
    HWND window = window_.exchange(nullptr);
    if (window) DestroyWindow(window);
  }
  bool IsOpen() const override { return window_.load() != nullptr; }
  void RunUntilEnded() override {
    MSG message;
    while (IsOpen() && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnEraseBackground(HWND window, HDC dc);
  void OnPaint(HWND window);

  DecorationKind kind_;
  DecorationEvents& events_;
  std::atomic<HWND> window_{nullptr};
  std::mutex canvasMutex_;
  std::shared_ptr<Canvas> canvas_;
  int canvasLeft_ = 0, canvasTop_ = 0;
  BackdropLook backdrop_;
  bool hasBackdrop_ = false;
};

bool RegisterDecorationClass() {
  static const bool registered = [] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kDecorationClass;
    return RegisterClassW(&windowClass) != 0;
  }();
  return registered;
}

bool Win32DecorationWindow::Create() {
  if (!RegisterDecorationClass()) return false;
  DWORD style = WS_POPUP, exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  if (kind_ == DecorationKind::Splash) style |= WS_BORDER;
  if (kind_ == DecorationKind::Backdrop) {
    style = WS_OVERLAPPEDWINDOW;
    exStyle = 0;
  }
  HWND window = CreateWindowExW(exStyle, kDecorationClass, L"", style, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleW(nullptr), static_cast<WindowObject*>(this));
  window_ = window;
  return window != nullptr;
}

LRESULT Win32DecorationWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      events_.OnTimer(static_cast<int>(wParam));
      return 0;
    case WM_ERASEBKGND:
      if (!hasBackdrop_) break;
      OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_CLOSE:
      return 0;  // only the owner ends a decoration
    case WM_MOUSEACTIVATE:
      if (kind_ == DecorationKind::Backdrop) return MA_NOACTIVATE;
      break;
    case WM_WINDOWPOSCHANGING:
      // Whatever asks for it, the backdrop never comes in front of the pages.
      if (kind_ == DecorationKind::Backdrop) reinterpret_cast<WINDOWPOS*>(lParam)->hwndInsertAfter = HWND_BOTTOM;
      break;
    case WM_NCDESTROY:
      window_.compare_exchange_strong(window, nullptr);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void DrawBackdropText(HDC dc, const RECT& client, const BackdropText& text) {
  HFONT font = CreateFontW(text.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, Wide(text.face).c_str());
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetTextColor(dc, text.color);
  SetBkMode(dc, TRANSPARENT);
  int x = text.anchorBottomRight ? client.right - text.x : text.x;
  int y = text.anchorBottomRight ? client.bottom - text.y : text.y;
  SetTextAlign(dc, text.anchorBottomRight ? (TA_BOTTOM | TA_RIGHT) : (TA_TOP | TA_LEFT));
  const std::wstring wide = Wide(text.text);
  TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
  if (old) SelectObject(dc, old);
  if (font) DeleteObject(font);
}

void Win32DecorationWindow::OnEraseBackground(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  int rows = client.bottom - client.top;
  for (int row = 0; row < rows; ++row) {
    RECT line = {client.left, row, client.right, row + 1};
    HBRUSH brush = CreateSolidBrush(GradientRow(backdrop_.top, backdrop_.bottom, row, rows));
    if (!brush) continue;
    FillRect(dc, &line, brush);
    DeleteObject(brush);
  }
  for (const BackdropText& text : backdrop_.texts) DrawBackdropText(dc, client, text);
}

void Win32DecorationWindow::OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc) return;
  std::shared_ptr<Canvas> canvas;
  int left = 0, top = 0;
  {
    std::lock_guard<std::mutex> lock(canvasMutex_);
    canvas = canvas_;
    left = canvasLeft_;
    top = canvasTop_;
  }
  if (canvas) CopyCanvasTo(*canvas, dc, left, top);
  EndPaint(window, &paint);
}

// The frame's timers have no window: the system calls this with the timer's id.
std::mutex timersMutex;
std::map<UINT_PTR, std::function<void()>>& FrameTimers() {
  static std::map<UINT_PTR, std::function<void()>> timers;
  return timers;
}

void CALLBACK OnFrameTimer(HWND, UINT, UINT_PTR timerId, DWORD) {
  std::function<void()> tick;
  {
    std::lock_guard<std::mutex> lock(timersMutex);
    auto found = FrameTimers().find(timerId);
    if (found == FrameTimers().end()) return;
    tick = found->second;  // the tick may stop its own timer
  }
  tick();
}

}  // namespace

std::unique_ptr<DecorationWindow> Win32Ui::CreateDecorationWindow(DecorationKind kind, DecorationEvents& events) {
  auto window = std::make_unique<Win32DecorationWindow>(kind, events);
  if (!window->Create()) return nullptr;
  return window;
}

int Win32Ui::StartTimer(int milliseconds, std::function<void()> onTick) {
  UINT_PTR id = ::SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), &OnFrameTimer);
  if (id == 0) return 0;
  std::lock_guard<std::mutex> lock(timersMutex);
  FrameTimers()[id] = std::move(onTick);
  return static_cast<int>(id);
}

void Win32Ui::StopTimer(int timerId) {
  ::KillTimer(nullptr, static_cast<UINT_PTR>(timerId));
  std::lock_guard<std::mutex> lock(timersMutex);
  FrameTimers().erase(static_cast<UINT_PTR>(timerId));
}

namespace {

// A UI thread that its owner stops with a quit message and then joins. The thread's queue exists
// only once it has made a window, so a post that finds none yet is tried again until the thread
// takes it or has ended by itself.
class Win32UiThread : public UiThread {
 public:
  explicit Win32UiThread(std::function<void()> body)
      : thread_([this, body = std::move(body)] {
          threadId_ = GetCurrentThreadId();
          body();
          ended_ = true;
        }) {}
  ~Win32UiThread() override {
    constexpr DWORD kRetryMs = 10;
    while (!ended_) {
      const DWORD id = threadId_.load();
      if (id != 0 && PostThreadMessageW(id, WM_QUIT, 0, 0)) break;
      Sleep(kRetryMs);
    }
    thread_.join();
  }

 private:
  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> ended_{false};
  std::thread thread_;  // last: it starts once the flags above exist
};

}  // namespace

std::unique_ptr<UiThread> Win32Ui::RunUiThread(std::function<void()> body) {
  return std::make_unique<Win32UiThread>(std::move(body));
}

bool Win32Shell::PlaySoundFile(const std::string& path, bool repeat) {
  DWORD flags = SND_FILENAME | SND_ASYNC | SND_NODEFAULT | (repeat ? SND_LOOP : 0);
  return PlaySoundW(Wide(path).c_str(), nullptr, flags) != FALSE;
}

}  // namespace tw
