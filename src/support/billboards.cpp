#include "support/billboards.h"

#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/picture_canvas.h"

namespace tw {

std::vector<Billboard> LoadBillboards(const ProjectSettings& settings) {
  int total = ToNumber(settings.ReadSetting("BILLBOARDSTW", "TOTAL", kCountBuffer));
  std::vector<Billboard> billboards;
  for (int i = 0; i < total && i < kMaxBillboards; ++i) {
    std::string n = std::to_string(i);
    Billboard billboard;
    billboard.picture = LastComponent(settings.ReadSetting("BILLBOARDSTW", "B" + n));
    billboard.seconds = ToNumber(settings.ReadSetting("BILLBOARDSTW", "C" + n));
    int left = ToNumber(settings.ReadSetting("BILLBOARDSTW", "D" + n));
    int top = ToNumber(settings.ReadSetting("BILLBOARDSTW", "E" + n));
    billboard.left = left == 0 ? 1 : left;
    billboard.top = top == 0 ? 1 : top;
    billboards.push_back(billboard);
  }
  return billboards;
}

CBillBoardTH::CBillBoardTH(Platform& platform, Trace& trace, std::vector<Billboard> billboards, std::string workDir,
                           std::string startDir)
    : platform_(platform),
      trace_(trace),
      billboards_(std::move(billboards)),
      workDir_(std::move(workDir)),
      startDir_(WithBackslash(std::move(startDir))) {}

CBillBoardTH::~CBillBoardTH() = default;

bool CBillBoardTH::Start() {
  if (billboards_.empty()) return false;
  window_ = platform_.ui.CreateDecorationWindow(DecorationKind::Billboard, *this);
  if (!window_) return false;
  index_ = 0;
  Show(billboards_[0]);
  window_->SetTimer(kBillboardTimer, billboards_[0].seconds * 1000);
  return true;
}

void CBillBoardTH::OnTimer(int timerId) {
  if (timerId != kBillboardTimer || !window_) return;
  window_->KillTimer(kBillboardTimer);
  ++index_;
  if (index_ >= static_cast<int>(billboards_.size())) {
    trace_.Write("billboard", "end");
    window_->End();
    return;
  }
  const Billboard& billboard = billboards_[static_cast<size_t>(index_)];
  window_->SetTimer(kBillboardTimer, billboard.seconds * 1000);
  Show(billboard);
}

// The work folder first, then the disk images beside the program; the last one tried is used.
std::string CBillBoardTH::PicturePath(const std::string& name) const {
  std::string path = workDir_ + name;
  if (platform_.files.Exists(path)) return path;
  path = startDir_ + "DiskImage1\\" + name;
  if (platform_.files.Exists(path)) return path;
  return startDir_ + "DiskImage2\\" + name;
}

// A picture that cannot be read or decoded leaves the previous one on show.
void CBillBoardTH::Show(const Billboard& billboard) {
  std::string path = PicturePath(billboard.picture);
  std::shared_ptr<Canvas> canvas = DrawPictureFile(platform_.files, platform_.pictures, path);
  trace_.Write("billboard", "show", {{"index", std::to_string(index_)}, {"file", path},
                                     {"seconds", std::to_string(billboard.seconds)},
                                     {"result", canvas ? "ok" : "kept"}});
  if (!canvas) return;
  canvas_ = canvas;
  PixelSize size = canvas_->Size();
  window_->Place({billboard.left, billboard.top, billboard.left + size.width, billboard.top + size.height});
  window_->SetCanvas(canvas_, 0, 0);
  window_->Show(true);
}

std::unique_ptr<UiThread> StartBillboards(Platform& platform, Trace& trace, const ProjectSettings& settings,
                                          const std::string& workDir) {
  std::vector<Billboard> billboards = LoadBillboards(settings);
  if (billboards.empty()) return nullptr;
  std::string startDir = platform.files.CurrentFolder();
  trace.Write("billboard", "start", {{"count", std::to_string(billboards.size())}});
  return platform.ui.RunUiThread([&platform, &trace, billboards, workDir, startDir] {
    CBillBoardTH show(platform, trace, billboards, workDir, startDir);
    if (show.Start()) show.Window()->RunUntilEnded();
  });
}

}  // namespace tw
