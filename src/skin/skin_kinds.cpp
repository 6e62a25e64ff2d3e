// The table of control kinds and the factory that gives each kind its model class.
#include "skin/skin_kinds.h"

#include "skin/skin_basic_controls.h"
#include "skin/skin_button.h"
#include "skin/skin_control.h"
#include "skin/skin_feature_tree.h"
#include "skin/skin_label.h"
#include "skin/skin_option_button.h"
#include "skin/skin_picture.h"

namespace tw {
namespace {

// Thin kinds (a line of text, a bar, an outline) may be as low as 8 pixels before they count as
// "no size given"; the others need 10.
constexpr int kUsualMinHeight = 10;
constexpr int kThinMinHeight = 8;

// Labels draw their text in the page font unless they build their own (only TEXT does).
const KindInfo kKinds[] = {
    {"BUTTON", "IDC_BUTTON%i", true, WidgetKind::PushButton, "Button %i", true, kUsualMinHeight},
    {"BITMAP", "IDB_BITMAP%i", false, WidgetKind::Picture, "", false, kUsualMinHeight},
    {"HOVER", "IDC_HOVER%i", false, WidgetKind::Picture, "", false, kUsualMinHeight},
    {"TEXT", "IDC_STATIC%i", true, WidgetKind::Label, "Text %i", true, kThinMinHeight},
    {"RECT", "IDC_RECT%i", false, WidgetKind::Label, "", true, kUsualMinHeight},
    {"TEXTBOX", "IDC_TEXT%i", true, WidgetKind::Edit, "", true, kUsualMinHeight},
    {"COMBOBOX", "IDC_COMBO%i", true, WidgetKind::ComboBox, "", true, kUsualMinHeight},
    {"RADIO", "IDC_RADIO%i", true, WidgetKind::RadioArea, "Radio %i", true, kUsualMinHeight},
    {"HOTSPOT", "IDC_HOTSPOT%i", false, WidgetKind::Label, "", true, kUsualMinHeight},
    {"ANIMATION", "IDC_ANIMATION%i", false, WidgetKind::Label, "Animation Box %i", true, kThinMinHeight},
    // The progress bar never shows its window text, but it has one all the same.
    {"PROGRESS", "IDC_PROGRESS%i", true, WidgetKind::Progress, "Animation Box %i", false, kThinMinHeight},
    {"LISTVIEW", "IDC_LISTVIEW%i", false, WidgetKind::Label, "ListView%i", true, kThinMinHeight},
    {"GROUPBOX", "IDC_GROUPBOX%i", false, WidgetKind::GroupBox, "GroupBox %i", true, kUsualMinHeight},
    {"ICON", "IDC_ICON%i", false, WidgetKind::Icon, "", false, kUsualMinHeight},
    {"FRAME", "IDC_FRAME%i", false, WidgetKind::Frame, "", false, kThinMinHeight},
    {"TREEVIEW", "IDC_TREEVIEW%i", true, WidgetKind::Tree, "", true, kThinMinHeight},
    {"CHECKBOX", "IDC_CHECKBOX%i", true, WidgetKind::CheckBox, "CheckBox%i", true, kUsualMinHeight},
    {"RICHTEXT", "IDC_RICHTEXT%i", true, WidgetKind::RichText, "", false, kUsualMinHeight},
};

}  // namespace

const KindInfo* FindKind(const std::string& kind) {
  for (const KindInfo& info : kKinds)
    if (kind == info.kind) return &info;
  return nullptr;
}

std::string NumberedText(const char* pattern, int kindIndex) {
  std::string text = pattern ? pattern : "";
  size_t at = text.find("%i");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(kindIndex + 1));
  return text;
}

std::string StartText(const ControlRecord& record) {
  const KindInfo* info = FindKind(record.kind);
  return info ? NumberedText(info->initialText, record.kindIndex) : std::string();
}

void TakeNameFromValueZero(ControlRecord& record) {
  const KindInfo* info = FindKind(record.kind);
  if (info && info->valueZeroIsName) record.name = record.Value(0);
}

std::unique_ptr<SkinControl> MakeSkinControl(ControlRecord& record, Widget& widget) {
  const std::string& kind = record.kind;
  if (kind == "BUTTON" || kind == "GROUPBOX") return std::make_unique<CSkinButton>(record, widget);
  if (kind == "BITMAP" || kind == "HOVER" || kind == "ICON") return std::make_unique<CSkinPicture>(record, widget);
  if (kind == "RADIO" || kind == "CHECKBOX") return std::make_unique<CSkinOptionButton>(record, widget);
  if (kind == "TEXT" || kind == "RECT" || kind == "HOTSPOT" || kind == "ANIMATION" || kind == "LISTVIEW")
    return std::make_unique<CSkinLabel>(record, widget);
  if (kind == "FRAME") return std::make_unique<CSkinFrame>(record, widget);
  if (kind == "TEXTBOX") return std::make_unique<CSkinTextBox>(record, widget);
  if (kind == "COMBOBOX") return std::make_unique<CSkinComboBox>(record, widget);
  if (kind == "PROGRESS") return std::make_unique<CSkinProgress>(record, widget);
  if (kind == "RICHTEXT") return std::make_unique<CSkinRichText>(record, widget);
  if (kind == "TREEVIEW") return std::make_unique<CSkinFeatureTree>(record, widget);
  return nullptr;
}

}  // namespace tw
