// The child windows of a skinned page: standard controls for the kinds the system draws, and
// subclassed static controls for the kinds that paint the skin's look themselves.
#include "platform/win32/win32_page.h"
#include "platform/win32/win32_platform.h"

#include <richedit.h>

namespace tw {

namespace {

struct KindTraits {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;  // added once the window exists
};

constexpr DWORD kTreeExtraStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
// How far a drop-down list opens below its selection field.
constexpr int kComboDropHeight = 150;
constexpr int kFeatureOnIcon = 152;
constexpr int kFeatureOffIcon = 151;
constexpr int kIconSide = 32;

KindTraits TraitsOf(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::PushButton: return {L"BUTTON", 0x50010000, 0};
    case WidgetKind::GroupBox: return {L"BUTTON", 0x50000007, 0};
    case WidgetKind::Picture: return {L"STATIC", 0x5000020E, 0};
    case WidgetKind::Icon: return {L"STATIC", 0x50000203, 0};
    case WidgetKind::RadioArea: return {L"BUTTON", 0x5001000B, 0};
    case WidgetKind::CheckBox: return {L"BUTTON", 0x50010002, 0};
    case WidgetKind::Label: return {L"STATIC", 0x50000000, 0};
    case WidgetKind::Frame: return {L"STATIC", 0x50000000, 0};
    case WidgetKind::Edit: return {L"EDIT", 0x50010004, WS_EX_CLIENTEDGE};
    case WidgetKind::ComboBox: return {L"COMBOBOX", 0x50000803, 0};
    case WidgetKind::Progress: return {PROGRESS_CLASSW, 0x50000000, 0};
    case WidgetKind::RichText: return {L"RICHEDIT", 0x50201004, WS_EX_CLIENTEDGE};
    case WidgetKind::Tree: return {WC_TREEVIEWW, 0x50000002, WS_EX_CLIENTEDGE};
  }
  return {L"STATIC", 0x50000000, 0};
}

// The window's size for the skin's rectangle: icons are always 32 x 32, and a drop-down list's
// window includes its opened list.
SIZE WindowSize(WidgetKind kind, const Rect& rect) {
  if (kind == WidgetKind::Icon) return {kIconSide, kIconSide};
  return {rect.Width(), rect.Height() + (kind == WidgetKind::ComboBox ? kComboDropHeight : 0)};
}

// The progress bar and tree come from the common controls; the rich edit box from RICHED32.DLL,
// which the application loads at start-up but a page may be built without.
void EnsureClass(WidgetKind kind) {
  if (kind == WidgetKind::Progress || kind == WidgetKind::Tree) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
  } else if (kind == WidgetKind::RichText) {
    WNDCLASSW info;
    if (!GetClassInfoW(nullptr, L"RICHEDIT", &info)) LoadLibraryW(L"RICHED32.DLL");
  }
}

void SetStyleBits(HWND window, int index, LONG_PTR wanted) {
  if (GetWindowLongPtrW(window, index) == wanted) return;
  SetWindowLongPtrW(window, index, wanted);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// With visual styles a check box, an option button and a group box draw their text themselves in
// the theme's colour, ignoring the one the skin sets (black on a dark skin); the classic look takes
// the skin's colours. uxtheme.dll comes from the system folder by its full path, never from beside
// setup.exe, and a system without it has no styles to switch off. A blank names no theme class,
// so none applies; an empty text would read as "no change" on some systems.
void TurnOffVisualStyles(HWND window) {
  using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const SetWindowThemeFn setTheme = []() -> SetWindowThemeFn {
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 12) return nullptr;
    HMODULE library = LoadLibraryW((std::wstring(folder, length) + L"\\uxtheme.dll").c_str());
    if (!library) return nullptr;
    return reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void*>(GetProcAddress(library, "SetWindowTheme")));
  }();
  if (setTheme) setTheme(window, L" ", L" ");
}

HIMAGELIST MakeFeatureImages() {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 4);
  if (!images) return nullptr;
  for (int resource : {kFeatureOnIcon, kFeatureOffIcon}) {
    HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, 16, 16, 0);
    ImageList_AddIcon(images, static_cast<HICON>(icon));
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
  return images;
}

// Bytes for the rich edit box: an RTF document as it is, plain text as UTF-16.
struct StreamSource {
  const std::string& text;
  size_t at;
};

DWORD CALLBACK ReadStreamSource(DWORD_PTR cookie, LPBYTE buffer, LONG capacity, LONG* copied) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  size_t count = source->text.size() - source->at;
  if (count > static_cast<size_t>(capacity)) count = static_cast<size_t>(capacity);
  source->text.copy(reinterpret_cast<char*>(buffer), count, source->at);
  source->at += count;
  *copied = static_cast<LONG>(count);
  return 0;
}

}  // namespace

std::unique_ptr<Win32Widget> Win32Widget::Create(Win32PageWindow& page, WidgetKind kind, int id, const Rect& rect,
                                                 const std::string& text, bool pageFont) {
  EnsureClass(kind);
  KindTraits traits = TraitsOf(kind);
  SIZE size = WindowSize(kind, rect);
  HWND window = CreateWindowExW(0, traits.className, Wide(text).c_str(), traits.style, rect.left, rect.top, size.cx, size.cy,
                                page.Window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
  // A window the system refuses leaves a widget that ignores every call, so the page still works.
  std::unique_ptr<Win32Widget> widget(new Win32Widget(page, kind, id, window, pageFont));
  widget->look_.text = text;
  if (window) widget->SetUpKind();
  return widget;
}

Win32Widget::Win32Widget(Win32PageWindow& page, WidgetKind kind, int id, HWND window, bool pageFont)
    : page_(page), kind_(kind), id_(id), window_(window), pageFont_(pageFont) {}

Win32Widget::~Win32Widget() {
  if (ownFont_) DeleteObject(ownFont_);
  if (colorBrush_) DeleteObject(colorBrush_);
  if (icon_) DestroyIcon(icon_);
  if (images_) ImageList_Destroy(images_);
}

void Win32Widget::Detach() {
  WindowObject::Detach();
  window_ = nullptr;
  treeItems_.clear();
}

// The kind's own set-up after creation: extended styles, the tree's extra styles and images, the
// page font, and the paint hook of self-painting kinds.
void Win32Widget::SetUpKind() {
  KindTraits traits = TraitsOf(kind_);
  if (kind_ == WidgetKind::CheckBox || kind_ == WidgetKind::RadioArea || kind_ == WidgetKind::GroupBox)
    TurnOffVisualStyles(window_);
  if (kind_ == WidgetKind::Tree) {
    SetStyleBits(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | kTreeExtraStyle);
    images_ = MakeFeatureImages();
    SendMessageW(window_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    SendMessageW(window_, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images_));
  }
  if (traits.exStyle) SetStyleBits(window_, GWL_EXSTYLE, GetWindowLongPtrW(window_, GWL_EXSTYLE) | traits.exStyle);
  if (pageFont_ && page_.PageFont()) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(page_.PageFont()), TRUE);
  if (SelfPainted()) Subclass(window_);
}

bool Win32Widget::SelfPainted() const {
  return kind_ == WidgetKind::Label || kind_ == WidgetKind::Frame || kind_ == WidgetKind::Picture ||
         kind_ == WidgetKind::Icon;
}

LRESULT Win32Widget::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return 1;  // the paint draws all the control shows; the page shows elsewhere
    default: return CallBase(window, message, wParam, lParam);
  }
}

LRESULT Win32Widget::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (!dc) return 0;
  RECT client;
  GetClientRect(window_, &client);
  if (kind_ == WidgetKind::Label) {
    HFONT font = CurrentFont();
    if (!font) font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window_), WM_GETFONT, 0, 0));
    PaintLabel(dc, client, look_.text, font, look_);
  } else if (kind_ == WidgetKind::Frame) {
    PaintFrame(dc, client);
  } else if (kind_ == WidgetKind::Icon && icon_) {
    PaintIcon(dc, client, icon_, look_.fillColor);
  } else if (picture_) {
    PaintPicture(dc, *picture_, look_.fillColor);
  }
  EndPaint(window_, &paint);
  return 0;
}

void Win32Widget::Apply(const WidgetLook& look) {
  if (!window_) return;
  ApplyStyles(look);
  if (kind_ != WidgetKind::Picture && kind_ != WidgetKind::Icon && (!applied_ || look.text != look_.text))
    SetWindowTextW(window_, Wide(look.text).c_str());
  ApplyFont(look);
  ApplyColors(look);
  ApplyPicture(look);
  ApplyKindState(look);
  look_ = look;
  applied_ = true;
  Repaint();
}

void Win32Widget::ApplyStyles(const WidgetLook& look) {
  LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  SetStyleBits(window_, GWL_STYLE, look.border ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER)));
  // Only the bits an earlier look added are taken back; the system's own bits stay.
  LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(appliedExStyle_);
  SetStyleBits(window_, GWL_EXSTYLE, exStyle | TraitsOf(kind_).exStyle | look.extraExStyle);
  appliedExStyle_ = look.extraExStyle & ~TraitsOf(kind_).exStyle;
  EnableWindow(window_, look.enabled ? TRUE : FALSE);
  ShowWindow(window_, look.visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Widget::ApplyFont(const WidgetLook& look) {
  if (!(look.font == ownFontSpec_)) {
    if (ownFont_) DeleteObject(ownFont_);
    ownFont_ = look.font ? MakeSkinFont(*look.font) : nullptr;
    ownFontSpec_ = look.font;
  }
  HFONT font = CurrentFont();
  if (font && !SelfPainted()) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HFONT Win32Widget::CurrentFont() const {
  if (ownFont_) return ownFont_;
  // Labels draw with the page font even when they were not given it, rather than the system font.
  return (pageFont_ || kind_ == WidgetKind::Label) ? page_.PageFont() : nullptr;
}

void Win32Widget::OnPageFontChanged() {
  if (!window_ || ownFont_) return;
  if (SelfPainted()) {
    Repaint();
  } else if (pageFont_) {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(page_.PageFont()), TRUE);
  }
}

void Win32Widget::ApplyColors(const WidgetLook& look) {
  if (applied_ && look.backColor == look_.backColor) return;
  if (colorBrush_) DeleteObject(colorBrush_);
  colorBrush_ = look.backColor ? CreateSolidBrush(*look.backColor) : nullptr;
}

HBRUSH Win32Widget::OnControlColor(HDC dc) {
  // The system fills an owner-drawn button with this brush before asking it to draw; a clickable
  // area must leave the page beneath untouched.
  if (kind_ == WidgetKind::RadioArea) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  if (!look_.textColor && !look_.backColor) return nullptr;
  SetTextColor(dc, look_.textColor.value_or(GetSysColor(COLOR_BTNTEXT)));
  if (look_.backColor && colorBrush_) {
    SetBkColor(dc, *look_.backColor);
    return colorBrush_;
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

void Win32Widget::ApplyPicture(const WidgetLook& look) {
  if (kind_ != WidgetKind::Picture && kind_ != WidgetKind::Icon) return;
  if (!applied_ || look.picturePath != picturePath_) {
    picture_ = look.picturePath.empty() ? nullptr : OlePicture::Load(look.picturePath);
    picturePath_ = look.picturePath;
  }
  if (kind_ == WidgetKind::Icon && look.iconResource != iconResource_) {
    if (icon_) DestroyIcon(icon_);
    icon_ = look.iconResource == 0
                ? nullptr
                : static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(look.iconResource),
                                                IMAGE_ICON, kIconSide, kIconSide, 0));
    iconResource_ = look.iconResource;
  }
}

void Win32Widget::ApplyKindState(const WidgetLook& look) {
  switch (kind_) {
    case WidgetKind::PushButton:
      SendMessageW(window_, BM_SETSTYLE, look.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
      break;
    case WidgetKind::CheckBox:
      SendMessageW(window_, BM_SETCHECK, look.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case WidgetKind::Progress:
      // The control takes its range as 16-bit halves: larger maxima wrap.
      SendMessageW(window_, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(look.rangeMax & 0xFFFF)));
      SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(look.position), 0);
      break;
    default: break;
  }
}

// Self-painting kinds may leave parts of their area to the page, so the page beneath is
// repainted too; otherwise old text would stay behind new text on an unfilled label.
void Win32Widget::Repaint() {
  if (!window_) return;
  if (!SelfPainted() && kind_ != WidgetKind::RadioArea) {
    InvalidateRect(window_, nullptr, TRUE);
    return;
  }
  HWND parent = GetParent(window_);
  RECT area;
  GetWindowRect(window_, &area);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::string Win32Widget::ReadText() const {
  if (!window_) return look_.text;
  if (kind_ == WidgetKind::ComboBox) {
    LRESULT index = SendMessageW(window_, CB_GETCURSEL, 0, 0);
    LRESULT length = index == CB_ERR ? CB_ERR : SendMessageW(window_, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessageW(window_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return Narrow(text);
  }
  return WindowTextOf(window_);
}

void Win32Widget::Move(const Rect& rect) {
  if (!window_) return;
  Repaint();  // the place it leaves
  SIZE size = WindowSize(kind_, rect);
  MoveWindow(window_, rect.left, rect.top, size.cx, size.cy, TRUE);
  Repaint();
}

void Win32Widget::SetItems(const std::vector<std::string>& items) {
  if (!window_) return;
  if (kind_ == WidgetKind::ComboBox) {
    SendMessageW(window_, CB_RESETCONTENT, 0, 0);
    for (const auto& item : items)
      SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    return;
  }
  if (kind_ != WidgetKind::Tree) return;
  settingTree_ = true;
  SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  treeItems_.clear();
  for (const auto& item : items) {
    std::wstring wide = Wide(item);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = &wide[0];
    treeItems_.push_back(reinterpret_cast<HTREEITEM>(
        SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
  }
  settingTree_ = false;
}

int Win32Widget::SelectedItem() const {
  if (!window_) return -1;
  if (kind_ == WidgetKind::ComboBox) {
    LRESULT index = SendMessageW(window_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
  }
  if (kind_ != WidgetKind::Tree) return -1;
  auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(window_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  for (size_t i = 0; i < treeItems_.size(); ++i)
    if (caret && treeItems_[i] == caret) return static_cast<int>(i);
  return -1;
}

void Win32Widget::SelectItem(int index) {
  if (!window_) return;
  if (kind_ == WidgetKind::ComboBox) {
    SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return;
  }
  if (kind_ != WidgetKind::Tree) return;
  bool known = index >= 0 && static_cast<size_t>(index) < treeItems_.size();
  settingTree_ = true;
  SendMessageW(window_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(known ? treeItems_[index] : nullptr));
  settingTree_ = false;
}

int Win32Widget::TreeEventItem(HTREEITEM item) const {
  if (settingTree_ || !item) return -1;
  for (size_t i = 0; i < treeItems_.size(); ++i)
    if (treeItems_[i] == item) return static_cast<int>(i);
  return -1;
}

void Win32Widget::SetItemImage(int index, int image) {
  if (!window_ || kind_ != WidgetKind::Tree || index < 0 || static_cast<size_t>(index) >= treeItems_.size()) return;
  TVITEMW item = {};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = treeItems_[index];
  item.iImage = image;
  item.iSelectedImage = image;
  SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int Win32Widget::SelectionFieldHeight() const {
  if (!window_ || kind_ != WidgetKind::ComboBox) return 0;
  LRESULT height = SendMessageW(window_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  return height == CB_ERR ? 0 : static_cast<int>(height);
}

void Win32Widget::Focus() {
  if (window_) SetFocus(window_);
}

void Win32Widget::StreamIn(const std::string& richText) {
  if (!window_ || kind_ != WidgetKind::RichText) return;
  const bool rtf = richText.compare(0, 5, "{\\rtf") == 0;
  std::string bytes;
  if (!rtf) {
    const std::wstring wide = Wide(richText);
    bytes.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  }
  StreamSource source{rtf ? richText : bytes, 0};
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = &ReadStreamSource;
  WPARAM format = rtf ? SF_RTF : (SF_TEXT | SF_UNICODE);
  SendMessageW(window_, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
}

}  // namespace tw
