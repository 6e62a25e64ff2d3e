// A page layout of any bytes, loaded by the real page model on the fake platform with its files in
// memory: window settings, control lines, property blocks and every control's look; then each
// control is clicked.
#include <cstdint>
#include <string>

#include "memory_platform.h"
#include "skin/page_preview.h"
#include "skin/skin_page.h"

namespace {

constexpr char kTheme[] = "C:\\theme\\";

struct World {
  tw::MemoryPlatform fake;
  tw::PreviewHost host{fake.platform, kTheme, [](const std::string&) {}};
  World() {
    fake.files.MakeFolders(kTheme);
    fake.files.SetCurrentFolder(kTheme);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* world = new World;
  world->fake.files.WriteAll(std::string(kTheme) + "page.lcd", std::string(reinterpret_cast<const char*>(data), size));
  // Each page gets its own window, as in the wizard.
  tw::CSkinPage page(world->host);
  page.LoadLayout(kTheme, "page.lcd", 1, 3);
  tw::DescribePage(page);
  for (int id = tw::kFirstControlId; id <= tw::kLastClickableId + 1; ++id) page.OnCommand(id, 0);
  page.OnKeyDown(tw::kVirtualKeyEnter);
  world->fake.ForgetShown();
  return 0;
}
