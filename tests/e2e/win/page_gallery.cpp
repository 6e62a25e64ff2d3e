// Shows one skinned page with a widget of every kind through the real Win32 UI, prints every page
// event on stdout and plays a few keys into the page itself: page_gallery.exe WORK_FOLDER.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace {

constexpr char kTitle[] = "Tarnwick page gallery";
constexpr int kCheckBoxId = 3006;
constexpr int kTreeId = 3010;
constexpr int kEditId = 3013;
constexpr int kKeysTimer = 5;
constexpr int kReportTimer = 6;

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// A 24-bit bottom-up BMP: a diagonal blue-to-green gradient, so the stretch is easy to see.
std::string GradientBmp(int width, int height) {
  int stride = (width * 3 + 3) & ~3;
  std::string bmp = "BM";
  Put32(bmp, 54 + stride * height);
  Put32(bmp, 0);
  Put32(bmp, 54);
  Put32(bmp, 40);
  Put32(bmp, width);
  Put32(bmp, height);
  Put16(bmp, 1);
  Put16(bmp, 24);
  for (int i = 0; i < 6; ++i) Put32(bmp, 0);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      row += static_cast<char>(120 + 135 * x / width);  // blue
      row += static_cast<char>(60 + 160 * y / height);  // green
      row += static_cast<char>(40);                     // red
    }
    row.resize(stride, '\0');
    bmp += row;
  }
  return bmp;
}

// A 32 x 32 GIF with two colours, index 1 transparent: a dark ring around a see-through middle.
// Its LZW stream restarts the table every two pixels so every code stays 3 bits wide.
std::string RingGif() {
  const int side = 32;
  std::string gif = "GIF89a";
  Put16(gif, side);
  Put16(gif, side);
  gif += std::string("\x80\x00\x00", 3);  // global table of two colours
  gif += std::string("\x20\x20\x80\xFF\xFF\xFF", 6);
  gif += std::string("\x21\xF9\x04\x01\x00\x00\x01\x00", 8);  // transparent index 1
  gif += ",";
  Put16(gif, 0);
  Put16(gif, 0);
  Put16(gif, side);
  Put16(gif, side);
  gif += '\0';
  gif += '\x02';  // minimum code size
  std::vector<int> codes;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      if (x % 2 == 0) codes.push_back(4);  // clear
      int dx = 2 * x - side + 1, dy = 2 * y - side + 1, r = dx * dx + dy * dy;
      codes.push_back(r > 22 * 22 && r < 30 * 30 ? 0 : 1);
    }
  }
  codes.push_back(5);  // end
  std::string data;
  unsigned bits = 0, count = 0;
  for (int code : codes) {
    bits |= static_cast<unsigned>(code) << count;
    count += 3;
    while (count >= 8) {
      data += static_cast<char>(bits & 0xFF);
      bits >>= 8;
      count -= 8;
    }
  }
  if (count) data += static_cast<char>(bits & 0xFF);
  for (size_t at = 0; at < data.size(); at += 255) {
    std::string block = data.substr(at, 255);
    gif += static_cast<char>(block.size());
    gif += block;
  }
  gif += '\0';
  gif += ';';
  return gif;
}

bool SaveFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

class GalleryEvents : public tw::PageEvents {
 public:
  explicit GalleryEvents(tw::Ui& ui) : ui_(ui) {}

  void OnCommand(int controlId, int code) override {
    Print("command id=%d code=%d", controlId, code);
    if (controlId != kCheckBoxId || code != 0 || !checkBox) return;
    checkLook.checked = !checkLook.checked;
    checkBox->Apply(checkLook);
    Print("checked=%d", checkLook.checked ? 1 : 0);
  }

  bool OnKeyDown(int virtualKey) override {
    bool used = virtualKey == VK_RETURN || virtualKey == VK_ESCAPE;
    Print("key vk=%d%s", virtualKey, used ? " used" : "");
    return used;
  }

  void OnCloseBox() override {
    Print("close");
    page->End();
    ui_.PostQuit(0);
  }

  void OnTimer(int timerId) override {
    Print("timer id=%d", timerId);
    page->KillTimer(timerId);
    if (timerId == kKeysTimer) PlayKeys();
    if (timerId == kReportTimer) {
      Print("edit=%s", edit->ReadText().c_str());
      // The arrow moves the tree's selection from the entry set in code to the next one.
      PostMessageA(GetDlgItem(FindWindowA(nullptr, kTitle), kTreeId), WM_KEYDOWN, VK_DOWN, 1);
    }
  }

  // Picks the menu's first entry with keys queued before it opens, as a user would.
  void OnTreeSelection(int controlId, int item) override {
    Print("tree id=%d item=%d", controlId, item);
    HWND window = FindWindowA(nullptr, kTitle);
    PostMessageA(window, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
    int choice = page->FeatureMenu();
    Print("menu=%d", choice);
    if (choice != 0) tree->SetItemImage(item, choice == 32774 ? 1 : 0);
  }

  tw::PageWindow* page = nullptr;
  tw::Widget* checkBox = nullptr;
  tw::Widget* edit = nullptr;
  tw::Widget* tree = nullptr;
  tw::WidgetLook checkLook;

 private:
  template <typename... Args>
  void Print(const char* format, Args... args) {
    std::printf(format, args...);
    std::printf("\n");
    std::fflush(stdout);
  }

  // Keys posted to the page's children travel the real message loop: Esc and Enter must reach the
  // model and stop there (Enter must not press the default button); a letter must reach the edit box.
  void PlayKeys() {
    HWND window = FindWindowA(nullptr, kTitle);
    HWND editBox = GetDlgItem(window, kEditId);
    PostMessageA(editBox, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(editBox, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(editBox, WM_KEYDOWN, 'A', 1);
    page->SetTimer(kReportTimer, 300);
  }

  tw::Ui& ui_;
};

tw::WidgetLook Look(const std::string& text) {
  tw::WidgetLook look;
  look.text = text;
  return look;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    std::fprintf(stderr, "usage: page_gallery WORK_FOLDER\n");
    return 64;
  }
  const std::string folder = std::string(argv[1]) + "\\";
  if (!SaveFile(folder + "back.bmp", GradientBmp(240, 180)) || !SaveFile(folder + "ring.gif", RingGif())) {
    std::fprintf(stderr, "cannot write the pictures into %s\n", folder.c_str());
    return 1;
  }
  tw::Win32Platform win32;
  win32.ui.LoadRichEdit();
  GalleryEvents events(win32.ui);
  std::unique_ptr<tw::PageWindow> page = win32.ui.CreatePageWindow(events);
  events.page = page.get();

  page->SetTitle(kTitle);
  page->SetFrame(tw::PageFrame{std::nullopt, true, false, true});
  page->SetBackColor(tw::MakeColor(230, 230, 240));
  std::optional<tw::Size> back = page->SetBackPicture(folder + "back.bmp");
  std::printf("background=%dx%d\n", back ? back->width : 0, back ? back->height : 0);
  page->SetPageFont(tw::FontSpec{"Tahoma", 8, false, false, false});
  page->Place(tw::Rect{100, 100, 580, 470});

  auto make = [&](tw::WidgetKind kind, int id, tw::Rect rect, const tw::WidgetLook& look, bool pageFont = true) {
    tw::Widget* widget = page->CreateWidget(kind, id, rect, "", pageFont);
    widget->Apply(look);
    return widget;
  };
  using K = tw::WidgetKind;

  tw::WidgetLook heading = Look("Unfilled label over the picture");
  heading.textColor = tw::MakeColor(255, 255, 255);
  heading.font = tw::FontSpec{"Arial", 11, true, false, false};
  make(K::Label, 3000, {10, 8, 250, 28}, heading);

  tw::WidgetLook filled = Look("Filled, centred label whose text wraps at words");
  filled.filled = true;
  filled.fillColor = tw::MakeColor(255, 240, 150);
  filled.textFormat = tw::kTextCenter | tw::kTextWordBreak;
  make(K::Label, 3001, {10, 32, 200, 66}, filled);

  make(K::Frame, 3002, {260, 8, 460, 108}, Look(""), false);

  tw::WidgetLook ring;
  ring.picturePath = folder + "ring.gif";
  ring.fillColor = tw::MakeColor(255, 0, 0);
  make(K::Picture, 3003, {272, 20, 304, 52}, ring, false);

  tw::WidgetLook icon;
  icon.iconResource = 137;
  icon.fillColor = tw::MakeColor(255, 255, 255);
  make(K::Icon, 3004, {320, 20, 352, 52}, icon, false);

  tw::WidgetLook hotspot;
  hotspot.border = true;
  make(K::Label, 3005, {370, 20, 450, 60}, hotspot, false);

  events.checkLook = Look("Check me");
  events.checkLook.textColor = tw::MakeColor(255, 255, 255);
  events.checkLook.backColor = tw::MakeColor(20, 40, 120);
  events.checkBox = make(K::CheckBox, kCheckBoxId, {10, 76, 200, 96}, events.checkLook);

  tw::WidgetLook next = Look("&Next >");
  next.defaultButton = true;
  make(K::PushButton, 3007, {380, 322, 460, 346}, next);

  tw::WidgetLook group = Look("Group box");
  group.backColor = tw::MakeColor(200, 220, 255);
  group.textColor = tw::MakeColor(128, 0, 0);
  make(K::GroupBox, 3008, {10, 104, 230, 180}, group);
  make(K::RadioArea, 3009, {20, 124, 120, 144}, Look("Radio area"));

  events.tree = make(K::Tree, kTreeId, {240, 116, 460, 196}, Look(""));
  events.tree->SetItems({"Program files", "Help files"});
  events.tree->SetItemImage(1, 1);
  events.tree->SelectItem(0);  // set in code: no event

  tw::WidgetLook progress;
  progress.rangeMax = 100;
  progress.position = 40;
  make(K::Progress, 3011, {10, 204, 460, 222}, progress, false);

  tw::Widget* combo = make(K::ComboBox, 3012, {10, 232, 200, 252}, Look(""));
  combo->SetItems({"English", "Deutsch", "Fran\xE7" "ais"});
  combo->SelectItem(1);
  std::printf("combo=%s field=%d\n", combo->ReadText().c_str(), combo->SelectionFieldHeight());

  events.edit = make(K::Edit, kEditId, {210, 232, 460, 310}, Look("Edit text"));

  tw::Widget* rich = make(K::RichText, 3014, {10, 262, 200, 346}, Look(""), false);
  rich->StreamIn("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs18 Plain, {\\b bold} and {\\i italic} rich text.\\par}");

  page->Show();
  // The progress bar fills with the system's highlight colour; the test looks for it on screen.
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  std::printf("highlight=%d,%d,%d\n", GetRValue(highlight), GetGValue(highlight), GetBValue(highlight));
  page->SetTimer(kKeysTimer, 500);
  std::fflush(stdout);
  int code = win32.ui.RunMessageLoop();
  std::printf("open=%d\n", page->IsOpen() ? 1 : 0);
  return code;
}
