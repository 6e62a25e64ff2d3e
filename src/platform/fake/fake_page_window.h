// Headless page windows: every setting and every widget's last look are kept for tests to read;
// tests play the user by calling the page's event handlers themselves.
#pragma once
#include <map>
#include <memory>
#include <vector>

#include "platform/page_ui.h"

namespace tw {

class FakeWidget : public Widget {
 public:
  FakeWidget(WidgetKind kind, int id, const Rect& rect, std::string text, bool pageFont)
      : kind(kind), id(id), rect(rect), pageFont(pageFont) {
    look.text = std::move(text);
  }
  int Id() const override { return id; }
  void Apply(const WidgetLook& newLook) override {
    look = newLook;
    ++applied;
  }
  // A combo box answers with its selected entry, as the real one does.
  std::string ReadText() const override {
    if (kind == WidgetKind::ComboBox) return selected >= 0 && selected < static_cast<int>(items.size()) ? items[selected] : "";
    return typed.value_or(look.text);
  }
  void Move(const Rect& newRect) override { rect = newRect; }
  void SetItems(const std::vector<std::string>& newItems) override;
  int SelectedItem() const override { return selected; }
  void SelectItem(int index) override { selected = index; }
  void SetItemImage(int index, int image) override;
  int SelectionFieldHeight() const override { return 17; }
  void StreamIn(const std::string& richText) override { streamed = richText; }
  void Focus() override { ++focused; }

  WidgetKind kind;
  int id;
  Rect rect;
  bool pageFont;
  WidgetLook look;
  int applied = 0;
  std::optional<std::string> typed;  // what a test "typed" into an edit box
  std::vector<std::string> items;
  std::vector<int> itemImages;
  int selected = -1;
  std::string streamed;
  int focused = 0;
};

class FakePageWindow : public PageWindow {
 public:
  explicit FakePageWindow(const std::map<std::string, Size>& pictureSizes) : pictureSizes_(pictureSizes) {}

  void SetTitle(const std::string& newTitle) override { title = newTitle; }
  void SetFrame(const PageFrame& newFrame) override { frame = newFrame; }
  void SetBackColor(ColorRef color) override { backColor = color; }
  std::optional<Size> SetBackPicture(const std::string& path) override;
  void ClearBackPicture() override { backPicture.clear(); }
  void SetPageFont(const FontSpec& font) override { pageFont = font; }
  void Place(const Rect& outer) override { placement = outer; }
  Widget* CreateWidget(WidgetKind kind, int id, const Rect& rect, const std::string& text, bool usePageFont) override;
  void Show() override { shown = true; }
  void Minimize() override { minimized = true; }
  void End() override { ended = true; }
  void SetTimer(int timerId, int milliseconds) override { timers[timerId] = milliseconds; }
  void KillTimer(int timerId) override { timers.erase(timerId); }
  int FeatureMenu() override { ++menusOpened; return featureMenuAnswer; }
  bool IsOpen() const override { return !ended; }
  // A headless window has no pixels: a plain face-coloured image of its placement.
  bool Capture(Size& size, std::string& rgb) override;

  // The widget with this control id; null when there is none.
  FakeWidget* WidgetById(int id) const;

  std::string title;
  PageFrame frame;
  ColorRef backColor = 0;
  std::string backPicture;
  FontSpec pageFont;
  std::optional<Rect> placement;
  std::vector<std::unique_ptr<FakeWidget>> widgets;  // in creation order
  bool shown = false, minimized = false, ended = false;
  std::map<int, int> timers;
  int featureMenuAnswer = 0;
  int menusOpened = 0;

 private:
  const std::map<std::string, Size>& pictureSizes_;
};

}  // namespace tw
