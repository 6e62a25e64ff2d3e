// Private parts of the skinned page windows: the page, its widgets and the GDI painting they share.
// Only the files of this folder that build pages include it.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/page_ui.h"
#include "platform/win32/win32_window.h"

namespace tw {

// --- painting helpers (win32_page_paint.cpp) ------------------------------------------------------

// A font built from the system's status-bar font with the skin's face, size and attributes; null
// when the system refuses it. The caller owns it.
HFONT MakeSkinFont(const FontSpec& spec);

// A picture decoded by the system's OLE picture loader, with its natural size in screen pixels.
class OlePicture {
 public:
  // Reads and decodes the whole file; null when it is missing or does not decode.
  static std::unique_ptr<OlePicture> Load(const std::string& path);
  ~OlePicture();
  OlePicture(const OlePicture&) = delete;
  OlePicture& operator=(const OlePicture&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // True when the picture has see-through parts, or when it cannot say.
  bool IsTransparent() const;
  // Draws the whole picture into the rectangle (the bounds a metafile needs).
  void Render(HDC dc, const RECT& area) const;

 private:
  explicit OlePicture(IPicture* picture);
  IPicture* picture_;
  OLE_XSIZE_HIMETRIC himetricWidth_ = 0;
  OLE_YSIZE_HIMETRIC himetricHeight_ = 0;
  int width_ = 0, height_ = 0;
};

// The picture at its natural size on a compatible bitmap, first filled with fill; null on failure.
HBITMAP RenderToBitmap(const OlePicture& picture, COLORREF fill);

void PaintLabel(HDC dc, const RECT& client, const std::string& text, HFONT font, const WidgetLook& look);
void PaintFrame(HDC dc, const RECT& client);
// The whole picture at (0, 0) at its natural size; see-through parts show fill.
void PaintPicture(HDC dc, const OlePicture& picture, COLORREF fill);
void PaintIcon(HDC dc, const RECT& client, HICON icon, COLORREF fill);

// --- widgets (win32_widgets.cpp) ------------------------------------------------------------------

class Win32PageWindow;

class Win32Widget : public Widget, private WindowObject {
 public:
  // Creates the child window; never null.
  static std::unique_ptr<Win32Widget> Create(Win32PageWindow& page, WidgetKind kind, int id, const Rect& rect,
                                             const std::string& text, bool pageFont);
  ~Win32Widget() override;

  int Id() const override { return id_; }
  void Apply(const WidgetLook& look) override;
  std::string ReadText() const override;
  void Move(const Rect& rect) override;
  void SetItems(const std::vector<std::string>& items) override;
  int SelectedItem() const override;
  void SelectItem(int index) override;
  void SetItemImage(int index, int image) override;
  int SelectionFieldHeight() const override;
  void StreamIn(const std::string& richText) override;
  void Focus() override;

  HWND Window() const { return window_; }
  WidgetKind Kind() const { return kind_; }
  // The page's font changed: a widget that shows the page font takes the new one.
  void OnPageFontChanged();
  // The reflected colour message: a brush when the look sets colours, null for the defaults.
  HBRUSH OnControlColor(HDC dc);
  // The index of a tree item, -1 when it is not one of ours or the selection is being set in code.
  int TreeEventItem(HTREEITEM item) const;
  // The window is going away with its page.
  void Detach();

 private:
  Win32Widget(Win32PageWindow& page, WidgetKind kind, int id, HWND window, bool pageFont);
  // A self-painting kind's messages: the paint is ours, the rest the control's own.
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnPaint();
  bool SelfPainted() const;
  void SetUpKind();
  void ApplyStyles(const WidgetLook& look);
  void ApplyFont(const WidgetLook& look);
  void ApplyColors(const WidgetLook& look);
  void ApplyPicture(const WidgetLook& look);
  void ApplyKindState(const WidgetLook& look);
  void Repaint();
  HFONT CurrentFont() const;

  Win32PageWindow& page_;
  WidgetKind kind_;
  int id_;
  HWND window_;
  bool pageFont_;
  WidgetLook look_;
  bool applied_ = false;
  DWORD appliedExStyle_ = 0;  // extended bits the look added on top of the kind's own
  HFONT ownFont_ = nullptr;
  std::optional<FontSpec> ownFontSpec_;
  HBRUSH colorBrush_ = nullptr;
  std::unique_ptr<OlePicture> picture_;
  std::string picturePath_;
  HICON icon_ = nullptr;
  int iconResource_ = 0;
  HIMAGELIST images_ = nullptr;
  std::vector<HTREEITEM> treeItems_;
  bool settingTree_ = false;  // selection changes made in code are not the user's
};

// --- the page window (win32_page_window.cpp) ------------------------------------------------------

class Win32PageWindow : public PageWindow {
 public:
  // A hidden page; never null (without a window when the system refuses one, and then never open).
  static std::unique_ptr<Win32PageWindow> Create(PageEvents& events);
  ~Win32PageWindow() override;

  void SetTitle(const std::string& title) override;
  void SetFrame(const PageFrame& frame) override;
  void SetBackColor(ColorRef color) override;
  std::optional<Size> SetBackPicture(const std::string& path) override;
  void ClearBackPicture() override;
  void SetPageFont(const FontSpec& font) override;
  void Place(const Rect& outer) override;
  Widget* CreateWidget(WidgetKind kind, int id, const Rect& rect, const std::string& text, bool pageFont) override;
  void Show() override;
  bool Capture(Size& size, std::string& rgb) override;
  void Minimize() override;
  void End() override;
  void SetTimer(int timerId, int milliseconds) override;
  void KillTimer(int timerId) override;
  int FeatureMenu() override;
  bool IsOpen() const override;

  HWND Window() const { return window_; }
  HFONT PageFont() const { return pageFont_; }

  // The message loop's hook: keys for a live page go to its model first, then to the dialog
  // manager. True when the message was used and must not be dispatched.
  static bool RouteMessage(MSG& message);

 private:
  explicit Win32PageWindow(PageEvents& events) : events_(&events) {}
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static Win32PageWindow* PageOf(HWND window);
  INT_PTR OnCommand(WPARAM wParam, LPARAM lParam);
  INT_PTR OnNotify(const NMHDR& header);
  INT_PTR OnControlColor(HDC dc, HWND control);
  INT_PTR OnPaint();
  INT_PTR OnClose();
  INT_PTR OnTimer(WPARAM timerId);
  void OnDestroy();
  Win32Widget* WidgetOf(HWND control) const;
  void ReplaceBackBrush(HBRUSH brush);
  void ForgetPicture();

  PageEvents* events_;  // null once the page has ended
  HWND window_ = nullptr;
  ColorRef backColor_ = 0;
  HBRUSH backBrush_ = nullptr;
  HBITMAP backPicture_ = nullptr;
  Size backPictureSize_;
  HFONT pageFont_ = nullptr;
  std::vector<std::unique_ptr<Win32Widget>> widgets_;  // in creation order
};

// While it lives, no page window but owner takes input: a modal window is open over the wizard.
// The owner is left to the modal window, which disables it itself and so hands the activation back
// to it when it closes. Also gives the owner's window for a page (null for none or a closed one).
class PagesHeld {
 public:
  explicit PagesHeld(PageWindow* owner);
  ~PagesHeld();
  PagesHeld(const PagesHeld&) = delete;
  PagesHeld& operator=(const PagesHeld&) = delete;
  HWND Owner() const { return owner_; }

 private:
  HWND owner_ = nullptr;
  std::vector<HWND> disabled_;
};

}  // namespace tw
