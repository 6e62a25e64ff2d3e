#include "skin/skin_page.h"

#include <algorithm>
#include <set>

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "platform/platform.h"

namespace tw {
namespace {

constexpr int kKindCount = 18;
const std::set<std::string> kOwnClickNames = {"IDC_BROWSE", "IDC_NOTACCEPTLICENSE", "IDC_ACCEPTLICENSE",
                                              "IDC_ANYONE", "IDC_ONLYFORME"};
const std::set<std::string> kChoiceClickNames = {"IDC_TYPICAL", "IDC_MINIMAL", "IDC_CUSTOM", "IDC_LAUNCHFILE",
                                                 "IDC_LAUNCHREADME"};
const std::set<std::string> kEndingNames = {"IDC_BACK", "IDC_NEXT", "IDCANCEL"};

// The kind's slot in the per-kind counters.
int KindSlot(const std::string& kind) {
  static const char* const kinds[kKindCount] = {"BUTTON", "BITMAP",  "HOVER",    "TEXT",     "RECT",   "TEXTBOX",
                                                "COMBOBOX", "RADIO", "HOTSPOT",  "ANIMATION", "PROGRESS", "LISTVIEW",
                                                "GROUPBOX", "ICON",  "FRAME",    "TREEVIEW", "CHECKBOX", "RICHTEXT"};
  for (int i = 0; i < kKindCount; ++i)
    if (kind == kinds[i]) return i;
  return -1;
}

// The placement code: the first two characters as a number; an empty value centres.
int PlacementCode(const std::string& startup) { return ToNumber(startup.substr(0, 2)); }

}  // namespace

CSkinPage::CSkinPage(PageHost& host)
    : host_(host), window_(host.GetPlatform().ui.CreatePageWindow(*this)), kindCounts_(kKindCount, 0) {}

CSkinPage::~CSkinPage() {
  // Controls refer to their widgets, which the window owns: let them go first.
  controls_.clear();
  window_.reset();
}

ColorRef CSkinPage::FaceColor() const { return host_.GetPlatform().system.FaceColor(); }

void CSkinPage::LoadLayout(const std::string& folder, const std::string& file, int position, int count) {
  window_->KillTimer(kInstallTimer);
  Reset();
  layoutFolder_ = folder;
  layoutFile_ = file;
  pagePosition_ = position;
  pageCount_ = count;
  backColor_ = FaceColor();
  window_->SetBackColor(backColor_);
  backPictureSize_.reset();

  auto text = host_.GetPlatform().files.ReadText(folder + file);
  PageLayout layout = ReadLayout(IniDocument::Parse(text ? *text : std::string()), folder);
  settings_ = layout.window;
  ApplyWindowSettings();
  CreateControls(layout.lines);
  for (ControlRecord& record : records_)
    if (SkinControl* control = ControlById(record.id)) control->ApplyProperties(*this);
  ApplyNamedRules();
  Place();
  host_.StandardPages().Bind(*this);
}

void CSkinPage::Reset() {
  controls_.clear();
  records_.clear();
  std::fill(kindCounts_.begin(), kindCounts_.end(), 0);
  nextControlId_ = kFirstControlId;
  installProgressKind_ = -1;
}

void CSkinPage::ApplyWindowSettings() {
  window_->SetTitle(ExpandPlaceholders(settings_.caption));
  backColor_ = ParseColor(settings_.bkcolor, FaceColor());
  window_->SetBackColor(backColor_);
  PageFrame frame;
  if (!settings_.border.empty() && settings_.border[0] == '0') frame.border = false;
  if (!settings_.border.empty() && settings_.border[0] == '1') frame.border = true;
  frame.minimizeBox = IsYes(settings_.minwindow);
  frame.maximizeBox = IsYes(settings_.maxwindow);
  frame.systemMenu = IsYes(settings_.closewindow);
  window_->SetFrame(frame);
  const FileSystem& files = host_.GetPlatform().files;
  if (!settings_.bkimage.empty() && files.Exists(settings_.bkimage) && !files.IsFolder(settings_.bkimage))
    backPictureSize_ = window_->SetBackPicture(settings_.bkimage);
  else
    window_->ClearBackPicture();
  pageFont_ = FontSpec{settings_.fontName, settings_.fontSize, settings_.fontBold, settings_.fontItalic, false};
  window_->SetPageFont(pageFont_);
}

// Lines are created from the last to the first, so the last line gets id 3000 and the windows
// stack in that order; the records still read in line order.
void CSkinPage::CreateControls(const std::vector<ControlLine>& lines) {
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) CreateControl(*line);
}

void CSkinPage::CreateControl(const ControlLine& line) {
  const KindInfo* info = FindKind(line.kind);
  int slot = KindSlot(line.kind);
  if (!info || slot < 0) return;
  if (static_cast<int>(records_.size()) >= kMaxRecords || kindCounts_[static_cast<size_t>(slot)] >= kMaxPerKind) return;

  ControlRecord record;
  record.kind = line.kind;
  record.rect = line.rect;
  if (record.rect.Width() < 30 && record.rect.Height() < info->minHeight)
    record.rect = {line.rect.left, line.rect.top, line.rect.left + 90, line.rect.top + 25};
  if (line.kind == "ICON") record.rect = {line.rect.left, line.rect.top, line.rect.left + 32, line.rect.top + 32};
  record.id = nextControlId_++;
  record.kindIndex = kindCounts_[static_cast<size_t>(slot)]++;
  record.name = NumberedText(info->defaultName, record.kindIndex);
  record.properties = line.properties;
  record.imageFile = line.imageFile;
  if (line.kind == "BITMAP" || line.kind == "HOVER") {
    // A picture control takes its picture's natural size; without a picture it keeps the line's.
    if (auto size = PictureSize(record.imageFile))
      record.rect = {line.rect.left, line.rect.top, line.rect.left + size->width, line.rect.top + size->height};
  }
  Widget* widget = window_->CreateWidget(info->widget, record.id, record.rect,
                                         NumberedText(info->initialText, record.kindIndex), info->pageFont);
  if (!widget) return;
  records_.push_front(std::move(record));
  controls_.push_back(MakeSkinControl(records_.front(), *widget));
}

void CSkinPage::ApplyNamedRules() {
  if (SkinControl* next = ControlByName("IDC_NEXT"); next && next->Record().kind == "BUTTON")
    next->Update([](WidgetLook& look) { look.defaultButton = true; });
  bool first = pagePosition_ == 0, last = pagePosition_ >= pageCount_ - 1;
  if (SkinControl* back = ControlByName("IDC_BACK"); back && (first || last)) back->SetEnabled(false);
  if (SkinControl* cancel = ControlByName("IDCANCEL"); cancel && last) cancel->SetEnabled(false);
  if (SkinControl* download = ControlByName("IDC_DOWNLOADPROGRESS"); download && download->Record().kind == "PROGRESS")
    download->SetVisible(false);
  if (SkinControl* settings = ControlByName("IDC_SETTINGS"); settings && settings->Record().kind == "TEXTBOX")
    settings->Update([](WidgetLook& look) { look.extraExStyle |= 0x1004; });
}

// Pages sit where the author asked, with the height corrected for thin captions so the client area
// keeps the height the author designed with a 25-pixel caption.
void CSkinPage::Place() {
  int code = PlacementCode(settings_.startup);
  const SystemInfo& system = host_.GetPlatform().system;
  int caption = system.CaptionHeight();
  int width = settings_.width, height = settings_.height - (caption < 25 ? 25 - caption : 0);
  int screenWidth = system.ScreenWidth(), screenHeight = system.ScreenHeight();
  int left = 0, top = 0;
  switch (code) {
    case 0: left = screenWidth / 2 - width / 2; top = screenHeight / 2 - height / 2; break;
    case 2: break;
    case 3: left = screenWidth - width; break;
    case 4: top = screenHeight - height - 35; break;
    case 5: left = screenWidth - width; top = screenHeight - height - 35; break;
    default: return;
  }
  window_->Place({left, top, left + width, top + height});
}

int CSkinPage::FindControlByName(const std::string& name) const {
  for (const ControlRecord& record : records_)
    if (record.name == name) return record.id;
  return -1;
}

int CSkinPage::FindKindIndex(int controlId) const {
  for (const ControlRecord& record : records_)
    if (record.id == controlId) return record.kindIndex;
  return -1;
}

int CSkinPage::RecordIndexById(int controlId) const {
  for (size_t i = 0; i < records_.size(); ++i)
    if (records_[i].id == controlId) return static_cast<int>(i);
  return -1;
}

SkinControl* CSkinPage::ControlById(int controlId) {
  for (auto& control : controls_)
    if (control->Record().id == controlId) return control.get();
  return nullptr;
}

SkinControl* CSkinPage::ControlByName(const std::string& name) {
  int id = FindControlByName(name);
  return id < 0 ? nullptr : ControlById(id);
}

SkinControl* CSkinPage::ControlOfKind(const std::string& kind, int kindIndex) {
  for (auto& control : controls_)
    if (control->Record().kind == kind && control->Record().kindIndex == kindIndex) return control.get();
  return nullptr;
}

std::optional<Size> CSkinPage::PictureSize(const std::string& path) const {
  Platform& platform = host_.GetPlatform();
  if (path.empty() || platform.files.IsFolder(path)) return std::nullopt;
  auto bytes = platform.files.ReadAll(path);
  if (!bytes) return std::nullopt;
  auto picture = platform.pictures.Decode(*bytes);
  if (!picture) return std::nullopt;
  PixelSize perInch = platform.pictures.PixelsPerInch();
  HimetricSize himetric = picture->Size();
  return Size{HimetricToPixels(himetric.width, perInch.width), HimetricToPixels(himetric.height, perInch.height)};
}

void CSkinPage::ShowMessage(const std::string& text) {
  host_.GetPlatform().ui.ShowMessageBox(text, "Setup", kMbOk);
}

// A confirmed cancel closes the page that asked: the wizard shows the cancelled completion in
// its place, and a page left open behind it would still take clicks.
bool CSkinPage::Cancel() {
  if (!host_.ConfirmCancel()) return false;
  host_.Flags().cancelRequested = 1;
  if (SkinControl* cancel = ControlByName("IDCANCEL")) cancel->SetEnabled(false);
  host_.RemoveWorkFolderNow();
  host_.Flags().cancelled = kOn;
  Report(0, 0, 0, "IDC_NEXT");
  End();
  return true;
}

// A completion page comes after the installation has finished or been cancelled: asking to cancel
// there would turn a finished install into an interrupted one, so closing it is its Finish.
void CSkinPage::Close() {
  if (!host_.StandardPages().ClosingFinishes(*this)) {
    Cancel();
    return;
  }
  Report(0, 0, 0, "IDC_FINISH");
}

void CSkinPage::Report(int controlId, int recordIndex, int action, const std::string& name) {
  host_.ReportClick(PageReport{controlId, recordIndex, action, name, layoutFile_});
}

void CSkinPage::OnCommand(int controlId, int code) {
  if (code != 0 || controlId < kFirstControlId || controlId > kLastClickableId) return;
  DispatchClick(controlId);
}

void CSkinPage::DispatchClick(int controlId) {
  int index = RecordIndexById(controlId);
  if (index < 0) return;
  // A copy: the actions below may cancel the page or make the wizard replace it.
  const ControlRecord record = records_[static_cast<size_t>(index)];
  if (record.name == "IDCANCEL") {
    Close();
    return;
  }
  if (record.kind == "CHECKBOX")
    if (SkinControl* control = ControlById(controlId)) control->Toggle();
  if (RunClickAction(record)) return;
  StandardPageBehaviour& standard = host_.StandardPages();
  if (kOwnClickNames.count(record.name)) {
    standard.HandleOwnClick(*this, record.name);
    return;
  }
  if (layoutFile_ == "customer.lcd" && !standard.CustomerCheck(*this)) return;
  if (kChoiceClickNames.count(record.name)) {
    standard.HandleChoiceClick(*this, record.name);
    return;
  }
  Report(controlId, index, record.ClickActionNumber(), record.name);
  if (kEndingNames.count(record.name)) End();
  if (record.name == "IDC_SETLANGUAGE") standard.ChangeLanguage(*this);
}

// The button actions of the layout: true when one ran (the dispatch then ends).
bool CSkinPage::RunClickAction(const ControlRecord& record) {
  const std::string& action = record.clickAction;
  if (action.find("0 -") != std::string::npos || action == kDoNothing) return false;
  if (action == "1 - Close Window") {
    Close();
  } else if (action == "2 - Minimize Window") {
    window_->Minimize();
  } else if (action == "3 - Run App" || action == "4 - Run App and Close") {
    host_.GetPlatform().shell.Open(ExpandPlaceholders(record.clickTarget));
    if (action == "4 - Run App and Close") Close();
  } else {
    return false;
  }
  return true;
}

bool CSkinPage::OnKeyDown(int virtualKey) {
  if (virtualKey == kVirtualKeyEnter) return true;  // Enter never presses a default button
  if (virtualKey != kVirtualKeyEscape) return false;
  Close();
  return true;
}

// Declining keeps the page and the wizard going; confirming closes it like any other cancel.
void CSkinPage::OnCloseBox() { Close(); }

void CSkinPage::OnTimer(int timerId) {
  if (timerId != kInstallTimer) return;
  window_->KillTimer(kInstallTimer);
  host_.StartInstallation();
  End();
}

void CSkinPage::OnTreeSelection(int controlId, int item) {
  if (SkinControl* control = ControlById(controlId)) control->OnSelectionChanged(*this, item);
}

void CSkinPage::SetProgressRange(int maximum) {
  if (SkinControl* bar = ControlOfKind("PROGRESS", installProgressKind_))
    bar->Update([&](WidgetLook& look) { look.rangeMax = maximum & 0xFFFF; });
}

void CSkinPage::SetProgressPos(int position) {
  if (SkinControl* bar = ControlOfKind("PROGRESS", installProgressKind_))
    bar->Update([&](WidgetLook& look) { look.position = position; });
}

void CSkinPage::SetStatusText(const std::string& text, int which) {
  if (SkinControl* label = ControlByName(which == 0 ? "IDC_INFO" : "IDC_INSTALLINFO")) label->SetText(text);
}

}  // namespace tw
