// Worker threads and the UI thread: a pumping wait for a worker, and a way for a worker to have
// the UI thread run something (so pages are only ever touched by the thread that owns them).
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/win32_page.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace tw {
namespace {

constexpr UINT kRunWork = WM_APP + 1;
constexpr DWORD kPumpSliceMs = 50;

// The message window's object: runs the work a worker hands to the UI thread.
class UiWorkRunner : public WindowObject {
 public:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kRunWork) {
      (*reinterpret_cast<const std::function<void()>*>(lParam))();
      return 0;
    }
    return CallBase(window, message, wParam, lParam);
  }
};

HWND MakeMessageWindow(WindowObject& runner) {
  static const wchar_t kClass[] = L"TarnwickUiWork";
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = &WindowProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClass;
  RegisterClassW(&windowClass);  // a second registration fails harmlessly
  return CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                         &runner);
}

}  // namespace

void Win32Ui::RunAndPump(const std::function<void()>& work) {
  if (!messageWindow_) {
    messageWindowObject_ = std::make_unique<UiWorkRunner>();
    messageWindow_ = MakeMessageWindow(*messageWindowObject_);
    uiThread_ = GetCurrentThreadId();
  }
  std::atomic<bool> done{false};
  // The waiting thread is the UI thread, or a worker that waits for a worker of its own.
  const DWORD waiter = GetCurrentThreadId();
  std::thread worker([&] {
    work();
    done = true;
    PostThreadMessageW(waiter, WM_NULL, 0, 0);  // wake the wait at once
  });
  bool quit = false;
  int quitCode = 0;
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpSliceMs, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // Keep it for the main loop: the worker must end before anything else does.
        quit = true;
        quitCode = static_cast<int>(message.wParam);
        continue;
      }
      if (Win32PageWindow::RouteMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  worker.join();
  if (quit) PostQuitMessage(quitCode);
}

void Win32Ui::CallOnUiThread(const std::function<void()>& work) {
  if (!messageWindow_ || GetCurrentThreadId() == uiThread_) {
    work();
    return;
  }
  SendMessageW(static_cast<HWND>(messageWindow_), kRunWork, 0, reinterpret_cast<LPARAM>(&work));
}

}  // namespace tw
