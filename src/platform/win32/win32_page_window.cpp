// Skinned page windows over the dialog manager: a modeless dialog from an empty in-memory template
// whose look the page model sets, and whose user actions go back to the model as page events.
#include <algorithm>

#include "platform/win32/win32_page.h"
#include "platform/win32/win32_platform.h"

namespace tw {

namespace {

constexpr int kFeatureMenuResource = 153;
constexpr UINT kFeatureInstall = 32773;
constexpr UINT kFeatureSkip = 32774;

// Pages are modeless, so the message loop must find them to give their keys to the model first.
// Only the UI thread touches this list.
std::vector<Win32PageWindow*>& LivePages() {
  static std::vector<Win32PageWindow*> pages;
  return pages;
}

void Forget(Win32PageWindow* page) {
  auto& pages = LivePages();
  pages.erase(std::remove(pages.begin(), pages.end(), page), pages.end());
}

// Every page starts from this empty template: a popup with caption and modal frame, 186 x 90
// dialog units, "MS Sans Serif" 8, no controls; the layout replaces everything else.
std::vector<WORD> EmptyPageTemplate() {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* head = reinterpret_cast<DLGTEMPLATE*>(words.data());
  head->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
  head->cx = 186;
  head->cy = 90;
  words.insert(words.end(), {0, 0, 0, 8});  // no menu, the dialog class, no title; 8 points
  for (const char* face = "MS Sans Serif"; *face; ++face) words.push_back(static_cast<WORD>(*face));
  words.push_back(0);
  return words;
}

HMENU FeatureChoiceMenu(HMENU& owner) {
  owner = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kFeatureMenuResource));
  if (owner) return GetSubMenu(owner, 0);
  owner = CreatePopupMenu();
  if (!owner) return nullptr;
  AppendMenuW(owner, MF_STRING, kFeatureInstall, L"This feature will be installed on local hard drive");
  AppendMenuW(owner, MF_STRING, kFeatureSkip, L"This feature will not be installed");
  return owner;
}

}  // namespace

std::unique_ptr<PageWindow> Win32Ui::CreatePageWindow(PageEvents& events) {
  return Win32PageWindow::Create(events);
}

std::unique_ptr<Win32PageWindow> Win32PageWindow::Create(PageEvents& events) {
  std::unique_ptr<Win32PageWindow> page(new Win32PageWindow(events));
  page->backColor_ = GetSysColor(COLOR_BTNFACE);
  std::vector<WORD> dialog = EmptyPageTemplate();
  CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(dialog.data()), nullptr,
                             &Win32PageWindow::Proc, reinterpret_cast<LPARAM>(page.get()));
  if (page->window_) LivePages().push_back(page.get());
  return page;
}

Win32PageWindow::~Win32PageWindow() {
  events_ = nullptr;
  if (window_) DestroyWindow(window_);
  Forget(this);
  widgets_.clear();
  ReplaceBackBrush(nullptr);
  ForgetPicture();
  if (pageFont_) DeleteObject(pageFont_);
}

Win32PageWindow* Win32PageWindow::PageOf(HWND window) {
  return reinterpret_cast<Win32PageWindow*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR CALLBACK Win32PageWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    reinterpret_cast<Win32PageWindow*>(lParam)->window_ = window;
    return TRUE;
  }
  Win32PageWindow* self = PageOf(window);
  if (!self) return FALSE;
  switch (message) {
    case WM_COMMAND: return self->OnCommand(wParam, lParam);
    case WM_NOTIFY: return self->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(self->backBrush_);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: return self->OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: return TRUE;  // the only owner-drawn kind is the clickable area, which shows nothing
    case WM_PAINT: return self->OnPaint();
    case WM_CLOSE: return self->OnClose();
    case WM_TIMER: return self->OnTimer(wParam);
    case WM_DESTROY: self->OnDestroy(); return FALSE;
    default: return FALSE;
  }
}

// Only controls' commands are the user's; the dialog manager's own IDOK/IDCANCEL for Enter and Esc
// carry no control and reach the model as keys instead.
INT_PTR Win32PageWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (lParam == 0 || !events_) return FALSE;
  events_->OnCommand(LOWORD(wParam), HIWORD(wParam));
  return TRUE;
}

INT_PTR Win32PageWindow::OnNotify(const NMHDR& header) {
  Win32Widget* widget = WidgetOf(header.hwndFrom);
  if (!widget || widget->Kind() != WidgetKind::Tree) return FALSE;
  if (header.code == NM_CLICK || header.code == NM_RCLICK) {
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  if (header.code != TVN_SELCHANGEDA && header.code != TVN_SELCHANGEDW) return FALSE;
  int item = widget->TreeEventItem(reinterpret_cast<const NMTREEVIEWW&>(header).itemNew.hItem);
  if (item >= 0 && events_) events_->OnTreeSelection(widget->Id(), item);
  return TRUE;
}

INT_PTR Win32PageWindow::OnControlColor(HDC dc, HWND control) {
  Win32Widget* widget = WidgetOf(control);
  return widget ? reinterpret_cast<INT_PTR>(widget->OnControlColor(dc)) : FALSE;
}

// The picture is stretched to the outer window's size over the client area, so its right and
// bottom parts fall outside the window; skins are drawn with that in mind.
INT_PTR Win32PageWindow::OnPaint() {
  if (!backPicture_) return FALSE;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (!dc) return TRUE;
  RECT outer;
  GetWindowRect(window_, &outer);
  HDC memory = CreateCompatibleDC(dc);
  if (memory) {
    HGDIOBJ old = SelectObject(memory, backPicture_);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, outer.right - outer.left, outer.bottom - outer.top, memory, 0, 0, backPictureSize_.width,
               backPictureSize_.height, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  EndPaint(window_, &paint);
  return TRUE;
}

// The model decides what the close box does; the window stays until it is told to end.
INT_PTR Win32PageWindow::OnClose() {
  if (events_) events_->OnCloseBox();
  return TRUE;
}

INT_PTR Win32PageWindow::OnTimer(WPARAM timerId) {
  if (events_) events_->OnTimer(static_cast<int>(timerId));
  return TRUE;
}

void Win32PageWindow::OnDestroy() {
  Forget(this);
  events_ = nullptr;
  for (auto& widget : widgets_) widget->Detach();
  SetWindowLongPtrW(window_, DWLP_USER, 0);
  window_ = nullptr;
}

Win32Widget* Win32PageWindow::WidgetOf(HWND control) const {
  if (!control) return nullptr;
  for (const auto& widget : widgets_)
    if (widget->Window() == control) return widget.get();
  return nullptr;
}

bool Win32PageWindow::RouteMessage(MSG& message) {
  const auto& pages = LivePages();
  auto owner = std::find_if(pages.begin(), pages.end(), [&](Win32PageWindow* page) {
    return page->window_ == message.hwnd || IsChild(page->window_, message.hwnd);
  });
  if (owner == pages.end()) return false;
  HWND window = (*owner)->window_;
  PageEvents* events = (*owner)->events_;
  if (message.message == WM_KEYDOWN && events && events->OnKeyDown(static_cast<int>(message.wParam))) return true;
  // The model may have ended the page, or let it go altogether, while it looked at the key.
  bool stillLive = std::any_of(LivePages().begin(), LivePages().end(),
                               [&](Win32PageWindow* page) { return page->window_ == window; });
  return stillLive && IsDialogMessageW(window, &message);
}

void Win32PageWindow::SetTitle(const std::string& title) {
  if (window_) SetWindowTextW(window_, Wide(title).c_str());
}

void Win32PageWindow::SetFrame(const PageFrame& frame) {
  if (!window_) return;
  auto setBit = [](LONG_PTR style, LONG_PTR bit, bool on) { return on ? (style | bit) : (style & ~bit); };
  LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  if (frame.border) style = setBit(style, WS_BORDER, *frame.border);
  style = setBit(style, WS_MINIMIZEBOX, frame.minimizeBox);
  style = setBit(style, WS_MAXIMIZEBOX, frame.maximizeBox);
  style = setBit(style, WS_SYSMENU, frame.systemMenu);
  SetWindowLongPtrW(window_, GWL_STYLE, style);
  // Every page gets a taskbar button, although it has no owner window to stand for it.
  SetWindowLongPtrW(window_, GWL_EXSTYLE, GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_APPWINDOW);
  SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Win32PageWindow::SetBackColor(ColorRef color) {
  backColor_ = color;
  ReplaceBackBrush(CreateSolidBrush(color));
  if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32PageWindow::ReplaceBackBrush(HBRUSH brush) {
  if (backBrush_) DeleteObject(backBrush_);
  backBrush_ = brush;
}

std::optional<Size> Win32PageWindow::SetBackPicture(const std::string& path) {
  ForgetPicture();
  std::unique_ptr<OlePicture> picture = OlePicture::Load(path);
  if (picture) backPicture_ = RenderToBitmap(*picture, backColor_);
  if (backPicture_) backPictureSize_ = Size{picture->Width(), picture->Height()};
  if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (!backPicture_) return std::nullopt;
  return backPictureSize_;
}

void Win32PageWindow::ClearBackPicture() {
  ForgetPicture();
  if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32PageWindow::ForgetPicture() {
  if (backPicture_) DeleteObject(backPicture_);
  backPicture_ = nullptr;
  backPictureSize_ = Size{};
}

void Win32PageWindow::SetPageFont(const FontSpec& font) {
  HFONT old = pageFont_;
  pageFont_ = MakeSkinFont(font);
  for (auto& widget : widgets_) widget->OnPageFontChanged();
  if (old) DeleteObject(old);
}

void Win32PageWindow::Place(const Rect& outer) {
  if (window_) MoveWindow(window_, outer.left, outer.top, outer.Width(), outer.Height(), TRUE);
}

// Each new child goes below the earlier ones, so creation order is both the tab order and the
// order in which overlapping controls take a click.
Widget* Win32PageWindow::CreateWidget(WidgetKind kind, int id, const Rect& rect, const std::string& text,
                                      bool pageFont) {
  widgets_.push_back(Win32Widget::Create(*this, kind, id, rect, text, pageFont));
  return widgets_.back().get();
}

// A page that is shown is the one the user works with: it comes to the front.
void Win32PageWindow::Show() {
  if (!window_) return;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

bool Win32PageWindow::Capture(Size& size, std::string& rgb) {
  RECT rect;
  if (!window_ || !GetWindowRect(window_, &rect)) return false;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
  void* bits = nullptr;
  HBITMAP dib = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  bool copied = false;
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != 0;
    SelectObject(memory, old);
    GdiFlush();
  }
  if (copied) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const auto* data = static_cast<const unsigned char*>(bits);
    rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    size_t at = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x, at += 3) {  // the bitmap keeps blue, green, red
        const unsigned char* pixel = data + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
        rgb[at] = static_cast<char>(pixel[2]);
        rgb[at + 1] = static_cast<char>(pixel[1]);
        rgb[at + 2] = static_cast<char>(pixel[0]);
      }
    size = Size{width, height};
  }
  if (dib) DeleteObject(dib);
  if (memory) DeleteDC(memory);
  if (screen) ReleaseDC(nullptr, screen);
  return copied;
}

void Win32PageWindow::Minimize() {
  if (window_) ShowWindow(window_, SW_MINIMIZE);
}

void Win32PageWindow::End() {
  events_ = nullptr;
  if (window_) DestroyWindow(window_);
}

void Win32PageWindow::SetTimer(int timerId, int milliseconds) {
  if (window_) ::SetTimer(window_, static_cast<UINT_PTR>(timerId), static_cast<UINT>(milliseconds), nullptr);
}

void Win32PageWindow::KillTimer(int timerId) {
  if (window_) ::KillTimer(window_, static_cast<UINT_PTR>(timerId));
}

// A menu tracked for a window that is not in front would not close when the user clicks
// elsewhere; the empty message afterwards lets it close properly.
int Win32PageWindow::FeatureMenu() {
  if (!window_) return 0;
  HMENU owner = nullptr;
  HMENU menu = FeatureChoiceMenu(owner);
  if (!menu) return 0;
  POINT at = {};
  GetCursorPos(&at);
  SetForegroundWindow(window_);
  BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  if (window_) PostMessageW(window_, WM_NULL, 0, 0);
  DestroyMenu(owner);
  return static_cast<int>(chosen);
}

bool Win32PageWindow::IsOpen() const { return window_ && IsWindow(window_); }

PagesHeld::PagesHeld(PageWindow* owner) {
  auto* page = static_cast<Win32PageWindow*>(owner);
  if (page && page->IsOpen()) owner_ = page->Window();
  for (Win32PageWindow* live : LivePages()) {
    HWND window = live->Window();
    if (!window || window == owner_ || !IsWindowEnabled(window)) continue;
    EnableWindow(window, FALSE);
    disabled_.push_back(window);
  }
}

PagesHeld::~PagesHeld() {
  for (HWND window : disabled_)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

}  // namespace tw
