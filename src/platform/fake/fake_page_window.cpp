#include "platform/fake/fake_page_window.h"

namespace tw {

void FakeWidget::SetItems(const std::vector<std::string>& newItems) {
  items = newItems;
  itemImages.assign(items.size(), 0);
  selected = -1;
}

void FakeWidget::SetItemImage(int index, int image) {
  if (index >= 0 && static_cast<size_t>(index) < itemImages.size()) itemImages[static_cast<size_t>(index)] = image;
}

std::optional<Size> FakePageWindow::SetBackPicture(const std::string& path) {
  auto it = pictureSizes_.find(path);
  if (it == pictureSizes_.end()) {
    backPicture.clear();
    return std::nullopt;
  }
  backPicture = path;
  return it->second;
}

Widget* FakePageWindow::CreateWidget(WidgetKind kind, int id, const Rect& rect, const std::string& text,
                                     bool usePageFont) {
  widgets.push_back(std::make_unique<FakeWidget>(kind, id, rect, text, usePageFont));
  return widgets.back().get();
}

bool FakePageWindow::Capture(Size& size, std::string& rgb) {
  if (!placement || placement->Width() <= 0 || placement->Height() <= 0) return false;
  size = Size{placement->Width(), placement->Height()};
  rgb.assign(static_cast<size_t>(size.width) * static_cast<size_t>(size.height) * 3, '\xEC');
  return true;
}

FakeWidget* FakePageWindow::WidgetById(int id) const {
  for (const auto& widget : widgets)
    if (widget->id == id) return widget.get();
  return nullptr;
}

}  // namespace tw
