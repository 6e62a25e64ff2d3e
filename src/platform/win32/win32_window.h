// The one window procedure of this program: every window class we register and every control or
// system dialog we subclass sends its messages through it to the C++ object behind the window.
#pragma once
#include <windows.h>

namespace tw {

// The object behind one window. Messages reach OnMessage from the time it is attached; those before
// go to DefWindowProcW. Dialog procedures (DLGPROC) are a different contract and stay their own.
class WindowObject {
 public:
  WindowObject() = default;
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;
  // Lets go of the window it is still attached to, so no message can reach a freed object.
  virtual ~WindowObject();

  virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  // Where a message the object does not take goes: the procedure the window had before it was
  // subclassed, or DefWindowProcW for a window of our own class.
  LRESULT CallBase(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
  // Makes an existing window send its messages here first, keeping its procedure as the base;
  // false (the window left as it was) when the system refuses.
  bool Subclass(HWND window);
  // Gives the window its own procedure back and lets go of it; nothing for a window not attached.
  void Detach();

 private:
  friend LRESULT CALLBACK WindowProcedure(HWND, UINT, WPARAM, LPARAM);
  bool Attach(HWND window);

  HWND window_ = nullptr;     // the window attached to, until WM_NCDESTROY or Detach
  WNDPROC baseProc_ = nullptr;  // null: a window of our own class
};

// The procedure of every window class we register, and the subclass procedure of every window we
// subclass. A window of our class is attached at WM_NCCREATE to the object given as CreateWindowExW's
// last parameter; at WM_NCDESTROY it is let go before the object sees that last message.
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tw
