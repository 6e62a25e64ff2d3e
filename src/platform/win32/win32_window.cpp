#include "platform/win32/win32_window.h"

namespace tw {
namespace {

// A property rather than GWLP_USERDATA: the system's own dialogs we subclass may use that slot.
const wchar_t kObjectProperty[] = L"TarnwickWindowObject";

WindowObject* ObjectOf(HWND window) { return static_cast<WindowObject*>(GetPropW(window, kObjectProperty)); }

}  // namespace

WindowObject::~WindowObject() { Detach(); }

bool WindowObject::Attach(HWND window) {
  if (!SetPropW(window, kObjectProperty, this)) return false;
  window_ = window;
  return true;
}

bool WindowObject::Subclass(HWND window) {
  if (!Attach(window)) return false;
  baseProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure)));
  if (baseProc_) return true;
  RemovePropW(window, kObjectProperty);
  window_ = nullptr;
  return false;
}

void WindowObject::Detach() {
  if (!window_) return;
  if (baseProc_) SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
  RemovePropW(window_, kObjectProperty);
  window_ = nullptr;
}

LRESULT WindowObject::CallBase(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  if (baseProc_) return CallWindowProcW(baseProc_, window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    // Without its object the window still works, as a plain window of the class.
    if (object && !ObjectOf(window)) object->Attach(window);
  }
  WindowObject* object = ObjectOf(window);
  if (!object) return DefWindowProcW(window, message, wParam, lParam);
  // Let go first; the base procedure stays known, so a subclassed window still ends in its own.
  if (message == WM_NCDESTROY) object->Detach();
  return object->OnMessage(window, message, wParam, lParam);
}

}  // namespace tw
