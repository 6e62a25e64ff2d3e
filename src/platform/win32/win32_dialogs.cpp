// The fixed dialogs over the dialog manager: the look decided by the portable logic is applied to
// the resource template, the dialog is centred on the screen, and its buttons end it as told.
#include <windows.h>

#include "platform/win32/win32_page.h"
#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

class FixedDialog {
 public:
  explicit FixedDialog(const FixedDialogLook& look) : look_(look) {}

  // Owned by its page, which it disables while it is open; the other pages are held too.
  int Run() {
    PagesHeld held(look_.owner);
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(look_.templateId), held.Owner(),
                                     &FixedDialog::Proc, reinterpret_cast<LPARAM>(this));
    return result <= 0 ? look_.escapeResult : static_cast<int>(result);
  }

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<FixedDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
      case WM_INITDIALOG: return self->OnInitDialog(window);
      case WM_COMMAND: return self->OnCommand(window, LOWORD(wParam));
      case WM_CLOSE: EndDialog(window, self->look_.escapeResult); return TRUE;
      default: return FALSE;
    }
  }

  INT_PTR OnInitDialog(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SetWindowPos(window, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2,
                 GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (look_.text) SetDlgItemTextW(window, kDialogTextId, Wide(*look_.text).c_str());
    for (const auto& button : look_.buttons) {
      if (button.label) SetDlgItemTextW(window, button.id, Wide(*button.label).c_str());
      if (!button.visible) ShowWindow(GetDlgItem(window, button.id), SW_HIDE);
    }
    return TRUE;
  }

  // Enter reaches a hidden default button as a command too; only a visible button may end the
  // dialog with its result, and Esc (IDCANCEL) always gives the escape result.
  INT_PTR OnCommand(HWND window, int id) {
    for (const auto& button : look_.buttons) {
      if (button.id != id) continue;
      if (!button.visible || !IsWindowVisible(GetDlgItem(window, id))) break;
      EndDialog(window, button.result);
      return TRUE;
    }
    if (id == IDCANCEL) {
      EndDialog(window, look_.escapeResult);
      return TRUE;
    }
    return FALSE;
  }

  const FixedDialogLook& look_;
};

INT_PTR CALLBACK WaitProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int Win32Ui::RunFixedDialog(const FixedDialogLook& look) { return FixedDialog(look).Run(); }

void Win32Ui::ShowWaitNotice() {
  if (waitNotice_) return;
  HWND notice = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialogWait), nullptr, &WaitProc, 0);
  if (!notice) return;
  ShowWindow(notice, SW_SHOWNORMAL);
  UpdateWindow(notice);
  waitNotice_ = notice;
}

void Win32Ui::CloseWaitNotice() {
  if (!waitNotice_) return;
  DestroyWindow(static_cast<HWND>(waitNotice_));
  waitNotice_ = nullptr;
}

// An empty class or title matches any window, so an author may look for a window by one of them.
bool Win32Ui::TopLevelWindowExists(const std::string& className, const std::string& title) {
  const std::wstring wideClass = Wide(className), wideTitle = Wide(title);
  return FindWindowW(className.empty() ? nullptr : wideClass.c_str(), title.empty() ? nullptr : wideTitle.c_str()) !=
         nullptr;
}

}  // namespace tw
