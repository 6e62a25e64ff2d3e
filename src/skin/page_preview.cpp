// The page preview's host and its page dump: a page shown with sample values, whose clicks and
// events are printed instead of moving a wizard on.
#include "skin/page_preview.h"

#include <sstream>

#include "platform/platform.h"
#include "skin/skin_feature_tree.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

constexpr int kMaxTrees = kMaxPerKind;

// The feature tree of a custom setup page shows these, each with a description for
// "IDC_FEATUREINFO", so authors see the tree filled as users will.
const char kSampleSettings[] =
    "[SETUPTYPE]\n"
    "TOTAL=2\n"
    "FeatureName0=Program Files\n"
    "Description0=The program and everything it needs to run.\n"
    "FeatureName1=Help Files\n"
    "Description1=The manual and the examples.\n";

std::string ParentFolderOf(const std::string& folder) {
  std::string trimmed = folder;
  while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
  size_t cut = trimmed.find_last_of('\\');
  return cut == std::string::npos ? std::string() : trimmed.substr(0, cut + 1);
}

std::string YesNo(bool on) { return on ? "yes" : "no"; }

std::string RectText(const Rect& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
         std::to_string(rect.bottom);
}

std::string FontText(const FontSpec& font) {
  std::string text = Trace::Quote(font.face) + "," + std::to_string(font.pointSize);
  if (font.bold) text += ",bold";
  if (font.italic) text += ",italic";
  if (font.underline) text += ",underline";
  return text;
}

std::string AlignmentText(unsigned format) {
  std::string text = (format & kTextCenter) ? "center" : (format & kTextRight) ? "right" : "left";
  if (format & kTextWordBreak) text += "+wrap";
  return text;
}

// The look's state first, then only what the model set, so a line stays short enough to read.
std::string LookText(const WidgetLook& look, const std::string& kind) {
  std::ostringstream out;
  out << " text=" << Trace::Quote(look.text) << " enabled=" << YesNo(look.enabled)
      << " visible=" << YesNo(look.visible);
  if (kind == "CHECKBOX") out << " checked=" << YesNo(look.checked);
  if (look.defaultButton) out << " default=yes";
  if (look.border) out << " border=yes";
  if (look.textColor) out << " text-colour=" << ColorText(*look.textColor);
  if (look.backColor) out << " back-colour=" << ColorText(*look.backColor);
  if (look.filled) out << " filled=" << ColorText(look.fillColor);
  if (look.textFormat) out << " align=" << AlignmentText(look.textFormat);
  out << " font=" << (look.font ? FontText(*look.font) : std::string("page"));
  if (!look.picturePath.empty()) out << " picture=" << Trace::Quote(look.picturePath);
  if (look.iconResource) out << " icon=" << look.iconResource;
  if (!look.picturePath.empty() || look.iconResource) out << " fill=" << ColorText(look.fillColor);
  if (kind == "PROGRESS") out << " range=" << look.rangeMax << " position=" << look.position;
  if (look.extraExStyle) out << " ex-style=0x" << std::hex << look.extraExStyle << std::dec;
  return out.str();
}

}  // namespace

PlaceholderValues SamplePlaceholderValues() {
  PlaceholderValues v;
  v.programFilesDir = "C:\\Program Files";
  v.systemDir = "C:\\Windows\\system32\\";
  v.windowsDir = "C:\\Windows";
  v.commonFilesDir = "C:\\Program Files\\Common Files";
  v.windowsVolume = "C:";
  v.favoritesFolder = "C:\\Users\\Sample User\\Favorites";
  v.personalFolder = "C:\\Users\\Sample User\\Documents";
  v.picturesFolder = "C:\\Users\\Sample User\\Pictures";
  v.tempDir = "C:\\Users\\Sample User\\Temp\\";
  v.sendToFolder = "C:\\Users\\Sample User\\SendTo";
  v.fontsFolder = "C:\\Windows\\Fonts";
  v.appDataFolder = "C:\\Users\\Sample User\\AppData\\Roaming";
  v.productName = "Sample Product";
  v.installDir = "C:\\Program Files\\Sample Product\\";
  v.productCode = "{00000000-0000-0000-0000-000000000000}";
  v.userName = "Sample User";
  v.companyName = "Sample Company";
  v.publisher = "Sample Publisher";
  v.productVersion = "1.0";
  return v;
}

PreviewHost::PreviewHost(Platform& platform, const std::string& themeFolder, Printer print)
    : platform_(platform),
      print_(std::move(print)),
      settings_(kSampleSettings),
      values_(SamplePlaceholderValues()),
      trace_(platform.files, platform.system),
      dialogs_(platform.ui, platform.files, trace_, languageFile_,
               [this](const std::string& text) { return ExpandPlaceholders(text); }) {
  dialogs_.SetOwnerSource([this]() -> PageWindow* { return page_ && page_->Window().IsOpen() ? &page_->Window() : nullptr; });
  std::string candidate = ParentFolderOf(themeFolder) + "language.lan";
  if (platform.files.Exists(candidate) && !platform.files.IsFolder(candidate)) languageFile_ = candidate;
}

void PreviewHost::Print(const std::string& what, std::initializer_list<Trace::Field> fields) {
  std::string line = what;
  for (const auto& [key, value] : fields) line += std::string(" ") + key + "=" + Trace::Quote(value);
  print_(line);
}

std::string PreviewHost::ExpandPlaceholders(const std::string& text) const {
  return ExpandPlaceholderText(text, values_, {}, Expansion::Wizard);
}

bool PreviewHost::ConfirmCancel() {
  bool confirmed = dialogs_.ConfirmCancel();
  Print("event confirm-cancel", {{"answer", confirmed ? "yes" : "no"}});
  return confirmed;
}

void PreviewHost::RemoveWorkFolderNow() { Print("event remove-work-folder", {{"done", "no"}}); }

void PreviewHost::ReportClick(const PageReport& report) {
  CSkinPage* page = page_;
  SkinControl* control = page && report.controlId ? page->ControlById(report.controlId) : nullptr;
  if (control && control->Record().kind == "CHECKBOX") {
    Print("report", {{"name", report.name}, {"id", std::to_string(report.controlId)},
                     {"action", std::to_string(report.action)}, {"checked", control->Look().checked ? "1" : "0"}});
  } else {
    Print("report", {{"name", report.name}, {"id", std::to_string(report.controlId)},
                     {"action", std::to_string(report.action)}});
  }
  if (page && flags_.cancelled == kOn) page->End();
}

void PreviewHost::StartInstallation() { Print("event start-installation", {{"done", "no"}}); }

void PreviewHost::Bind(CSkinPage& page) {
  page_ = &page;
  for (int i = 0; i < kMaxTrees; ++i)
    if (auto* tree = dynamic_cast<CSkinFeatureTree*>(page.ControlOfKind("TREEVIEW", i)))
      tree->SetItems({"Program Files", "Help Files"});
}

bool PreviewHost::HandleOwnClick(CSkinPage&, const std::string& name) {
  Print("event page-behaviour", {{"name", name}});
  return true;
}

bool PreviewHost::HandleChoiceClick(CSkinPage&, const std::string& name) {
  Print("event page-behaviour", {{"name", name}});
  return true;
}

void PreviewHost::ChangeLanguage(CSkinPage&) { Print("event change-language", {}); }

void PreviewHost::SetFeatureState(const std::string& feature, int state) {
  Print("event feature", {{"name", feature}, {"state", std::to_string(state)}});
}

std::string DescribePage(const CSkinPage& page) {
  const WindowSettings& s = page.Settings();
  std::ostringstream out;
  out << "page file=" << Trace::Quote(page.LayoutFile()) << " folder=" << Trace::Quote(page.LayoutFolder()) << "\n";
  out << "window caption=" << Trace::Quote(page.ExpandPlaceholders(s.caption)) << " size=" << s.width << "x"
      << s.height << " placement=" << ToNumber(s.startup.substr(0, 2)) << " border=" << Trace::Quote(s.border)
      << " minimize=" << YesNo(IsYes(s.minwindow)) << " maximize=" << YesNo(IsYes(s.maxwindow))
      << " close=" << YesNo(IsYes(s.closewindow)) << "\n";
  out << "background colour=" << ColorText(page.BackColor()) << " picture=" << Trace::Quote(s.bkimage)
      << " shown=" << YesNo(page.HasBackPicture()) << "\n";
  out << "font " << FontText(page.PageFont()) << "\n";
  // The page hands out its controls only for change; the dump reads them and changes nothing.
  CSkinPage& controls = const_cast<CSkinPage&>(page);
  int line = 0;
  for (const ControlRecord& record : page.Records()) {
    out << "control " << line++ << " name=" << Trace::Quote(record.name) << " kind=" << record.kind
        << " id=" << record.id << " kind-index=" << record.kindIndex << " rect=" << RectText(record.rect);
    if (const SkinControl* control = controls.ControlById(record.id)) out << LookText(control->Look(), record.kind);
    out << "\n";
  }
  return out.str();
}

}  // namespace tw
