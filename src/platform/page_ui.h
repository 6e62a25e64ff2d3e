// Skinned page windows and their controls, as the UI service draws them. The skin models decide
// every look; a page window and its widgets only show what they are told and report what the user
// did.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// A Windows colour value, 0x00BBGGRR.
using ColorRef = uint32_t;
constexpr ColorRef MakeColor(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

// A font as the skin describes it; the UI builds it from the system's status-bar font with this
// face, a height of -(points x vertical dpi / 72) and these attributes.
struct FontSpec {
  std::string face;
  int pointSize = 0;
  bool bold = false, italic = false, underline = false;
  bool operator==(const FontSpec& o) const {
    return face == o.face && pointSize == o.pointSize && bold == o.bold && italic == o.italic &&
           underline == o.underline;
  }
};

// The kinds of child window a page can hold.
enum class WidgetKind {
  PushButton,  // standard push button, reflected colours
  GroupBox,    // standard group box, reflected colours
  Picture,     // self-painted picture (file) on a fill colour
  Icon,        // self-painted 32x32 icon (built-in resource or file) on a fill colour
  RadioArea,   // owner-drawn button that draws nothing: a clickable area
  CheckBox,    // check box whose mark only the page changes
  Label,       // self-painted text on an optional fill
  Frame,       // etched outline
  Edit,        // multi-line edit box
  ComboBox,    // drop-down list
  Progress,    // progress bar
  RichText,    // rich edit 1.0 box
  Tree,        // tree view with the feature images
};

// Text-drawing flags of labels (the DT_ values).
enum TextFormatFlag : unsigned {
  kTextCenter = 0x1,
  kTextRight = 0x2,
  kTextWordBreak = 0x10,
};

// Everything a widget shows. A widget shows exactly its last look.
struct WidgetLook {
  std::string text;
  bool visible = true;
  bool enabled = true;
  bool defaultButton = false;  // push button drawn as the default button
  bool checked = false;        // check box mark
  bool border = false;         // thin border (hotspot, animation box, list view)
  uint32_t extraExStyle = 0;   // extended style bits added on top of the kind's own
  std::optional<FontSpec> font;          // nothing: the page font (kinds that take it)
  std::optional<ColorRef> textColor;     // nothing: the system's default
  std::optional<ColorRef> backColor;     // nothing: the system's default
  bool filled = false;                   // labels: fill the background with fillColor
  ColorRef fillColor = 0;                // labels and pictures
  unsigned textFormat = 0;               // labels: TextFormatFlag bits
  std::string picturePath;               // pictures and file icons; empty for none
  int iconResource = 0;                  // built-in icon resource id; 0 for none
  int rangeMax = 100;                    // progress bar
  int position = 0;                      // progress bar
};

class Widget {
 public:
  virtual ~Widget() = default;
  virtual int Id() const = 0;
  // Shows exactly this look.
  virtual void Apply(const WidgetLook& look) = 0;
  // The text as the user left it (edit boxes; the selected entry of a combo box).
  virtual std::string ReadText() const = 0;
  // Moves and sizes the widget within the page's client area.
  virtual void Move(const Rect& rect) = 0;
  // Combo box and tree: replaces the entries; the tree's entries are top-level items with image 0.
  virtual void SetItems(const std::vector<std::string>& items) = 0;
  // Combo box and tree: the selected entry, -1 for none.
  virtual int SelectedItem() const = 0;
  virtual void SelectItem(int index) = 0;
  // Tree: the image of an entry (0 will be installed, 1 will not).
  virtual void SetItemImage(int index, int image) = 0;
  // Combo box: the height of its selection field in pixels.
  virtual int SelectionFieldHeight() const = 0;
  // Rich edit: replaces the content with this rich text (or plain text) stream.
  virtual void StreamIn(const std::string& richText) = 0;
  // Gives the widget the keyboard focus.
  virtual void Focus() = 0;
};

// What the user did in a page window, told to the page model on the UI thread.
class PageEvents {
 public:
  virtual ~PageEvents() = default;
  // A command from a child control (a click is code 0).
  virtual void OnCommand(int controlId, int code) = 0;
  // A key pressed anywhere in the page; true when the page used it (it then goes no further).
  virtual bool OnKeyDown(int virtualKey) = 0;
  // The close box or the system menu's Close.
  virtual void OnCloseBox() = 0;
  virtual void OnTimer(int timerId) = 0;
  // A tree's selection moved to another entry (by mouse or keyboard).
  virtual void OnTreeSelection(int controlId, int item) = 0;
};

// The window frame's switches; each maps to a window style bit.
struct PageFrame {
  std::optional<bool> border;  // nothing: as created
  bool minimizeBox = false, maximizeBox = false, systemMenu = false;
};

class PageWindow {
 public:
  virtual ~PageWindow() = default;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetFrame(const PageFrame& frame) = 0;
  virtual void SetBackColor(ColorRef color) = 0;
  // Decodes the file as the page's background, stretched over the window; nothing when the file
  // is missing or does not decode (the page then shows its colour). Returns the natural size.
  virtual std::optional<Size> SetBackPicture(const std::string& path) = 0;
  virtual void ClearBackPicture() = 0;
  // The font the page's controls share.
  virtual void SetPageFont(const FontSpec& font) = 0;
  // Moves and sizes the outer window.
  virtual void Place(const Rect& outer) = 0;
  // Creates a child; children stack in creation order (tab order, and which of two overlapping
  // controls gets a click). pageFont: the child starts with the page font.
  virtual Widget* CreateWidget(WidgetKind kind, int id, const Rect& rect, const std::string& text,
                               bool pageFont) = 0;
  virtual void Show() = 0;
  virtual void Minimize() = 0;
  // Ends the page: the window goes away; no more events arrive.
  virtual void End() = 0;
  virtual void SetTimer(int timerId, int milliseconds) = 0;
  virtual void KillTimer(int timerId) = 0;
  // Opens the feature choice menu at the mouse and returns the chosen command, 0 for none.
  virtual int FeatureMenu() = 0;
  // Whether the window still exists (the user may have closed it).
  virtual bool IsOpen() const = 0;
  // The window as the screen shows it, frame and caption included: its size and its pixels as
  // top-down rows of red, green, blue bytes. False when it cannot be read.
  virtual bool Capture(Size& size, std::string& rgb) = 0;
};

}  // namespace tw
