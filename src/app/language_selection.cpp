#include "app/language_selection.h"

#include <cstdlib>

#include "project/language_file.h"
#include "project/trace.h"
#include "platform/file_system.h"
#include "platform/ini_document.h"
#include "platform/profile_files.h"
#include "skin/layout_file.h"

namespace tw {
namespace {

struct LanguageId {
  int id;
  const char* name;
};

// Only these exact ids: other variants of a language are not recognised.
constexpr LanguageId kLanguageIds[] = {
    {1033, "English"}, {1046, "Portuguese"}, {1050, "Croatian"}, {1030, "Danish"},
    {2067, "Dutch"},   {1031, "German"},     {1040, "Italian"},  {1045, "Polish"},
    {3098, "Serbian"}, {1034, "Spanish"},    {1053, "Swedish"},  {1055, "Turkish"},
};

struct Translation {
  Translation(const char* control, const char* key, bool shared = false)
      : control(control), key(key), shared(shared) {}
  const char* control;
  const char* key;
  bool shared;  // read from the "Value" section that all pages share
};

struct PageTranslation {
  const char* layout;
  const char* section;
  std::vector<Translation> controls;
};

// Layout files in the order they are rewritten, each with its language section and the key of each
// translated control.
const std::vector<PageTranslation>& Translations() {
  static const std::vector<PageTranslation> table = {
      {"welcome.lcd", "InstallWelcome",
       {{"IDCANCEL", "0"}, {"IDC_BACK", "1"}, {"IDC_NEXT", "2"}, {"IDC_STATIC1", "3"}, {"IDC_STATIC2", "4"},
        {"IDC_STATIC3", "5"}}},
      {"license.lcd", "LicenseAgreement",
       {{"IDCANCEL", "0"}, {"IDC_TWFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
        {"IDC_NEXT", "6"}, {"IDC_ACCEPTLICENSE", "1", true}, {"IDC_NOTACCEPTLICENSE", "0", true}}},
      {"readme.lcd", "ReadmeInformation",
       {{"IDCANCEL", "0"}, {"IDC_TWFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
        {"IDC_NEXT", "6"}}},
      {"customer.lcd", "CustomerInformation",
       {{"IDCANCEL", "0"}, {"IDC_TWFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
        {"IDC_NEXT", "6"}, {"IDC_STATIC1", "7"}, {"IDC_STATIC2", "8"}, {"IDC_STATIC3", "9"},
        {"IDC_STATIC4", "10"}, {"IDC_ANYONE", "8", true}, {"IDC_ONLYFORME", "9", true}}},
      {"destination.lcd", "DestinationFolder",
       {{"IDCANCEL", "0"}, {"IDC_TWFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
        {"IDC_NEXT", "6"}, {"IDC_BROWSE", "7"}, {"IDC_STATIC1", "8"}}},
      {"setuptype.lcd", "SetupType",
       {{"IDCANCEL", "0"}, {"IDC_TWFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
        {"IDC_STATIC1", "6"}, {"IDC_NEXT", "7"}, {"IDC_STATIC2", "8"}, {"IDC_STATIC4", "9"},
        {"IDC_STATIC3", "10"}, {"IDC_TYPICAL", "2", true}, {"IDC_MINIMAL", "3", true},
        {"IDC_CUSTOM", "4", true}}},
      {"customsetup.lcd", "CustomSetup",
       {{"IDCANCEL", "2"}, {"IDC_TWFRAME", "4"}, {"IDC_SUBTITLE", "5"}, {"IDC_TITLE", "6"}, {"IDC_BACK", "7"},
        {"IDC_STATIC1", "8"}, {"IDC_NEXT", "9"}, {"IDC_BROWSE", "11"}, {"IDC_GROUPBOX1", "13"}}},
      {"ready.lcd", "ReadyToInstall",
       {{"IDCANCEL", "0"}, {"IDC_TWFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_NEXT", "5"},
        {"IDC_BACK", "6"}, {"IDC_STATIC1", "9"}, {"IDC_STATIC2", "16"}}},
      {"progress.lcd", "SetupProgress",
       {{"IDCANCEL", "0"}, {"IDC_TWFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
        {"IDC_STATIC1", "6"}, {"IDC_NEXT", "7"}, {"IDC_STATIC2", "11"}}},
      {"complete.lcd", "SetupCompleteSuccess",
       {{"IDCANCEL", "0"}, {"IDC_NEXT", "1"}, {"IDC_BACK", "2"}, {"IDC_INSTALLSTATUS", "4"},
        {"IDC_LAUNCHREADME", "6"}, {"IDC_LAUNCHFILE", "7"}}},
      {"setuperror.lcd", "SetupError",
       {{"IDYES", "0"}, {"IDNO", "1"}, {"IDCANCEL", "2"}, {"IDOK", "3"}, {"IDABORT", "4"}, {"IDIGNORE", "5"},
        {"IDRETRY", "6"}}},
      {"cancelsetup.lcd", "CancelSetup", {{"IDC_STATIC1", "0"}, {"IDNO", "1"}, {"IDYES", "2"}}},
      {"uninstall.lcd", "SetupProgress", {{"IDC_STATIC1", "12"}, {"IDYES", "0"}}},
      {"start.lcd", "SETUP", {{"IDC_STATIC1", "0"}, {"IDCANCEL", "1"}}},
  };
  return table;
}

const Translation* FindTranslation(const PageTranslation& page, const std::string& control) {
  for (const Translation& entry : page.controls)
    if (control == entry.control) return &entry;
  return nullptr;
}

// The control's name: the second field of its first property line.
std::string ControlName(const IniDocument& layout, int block) {
  std::string line = layout.Get("DADOS", std::to_string(block) + ",0", "", 255);
  size_t first = line.find('|');
  if (first == std::string::npos) return "";
  size_t second = line.find('|', first + 1);
  return line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
}

void RewritePage(const FileSystem& files, ProfileFiles& profiles, const std::string& path,
                 const PageTranslation& page, const LanguageFile& language, Trace& trace) {
  auto bytes = files.ReadText(path);
  if (!bytes) return;
  IniDocument layout = IniDocument::Parse(*bytes);
  int total = std::atoi(layout.Get("INFO", "TOTAL", "", 255).c_str());
  for (int i = 0; i < total && i < 1000; ++i) {
    // The block comes from the control line itself, so the caption written is the one the page
    // reads whatever numbers the author's designer gave the blocks.
    std::vector<std::string> fields = SplitControlLine(layout.Get("INFO", std::to_string(i), "", 255));
    if (fields.size() < 9) continue;
    int block = std::atoi(fields[8].c_str());
    const Translation* entry = FindTranslation(page, ControlName(layout, block));
    if (!entry) continue;
    std::string caption = LanguageCaption(language.Text(entry->shared ? "Value" : page.section, entry->key));
    if (caption.empty()) continue;
    ClearSystemError();
    bool written = profiles.WriteValue(path, "DADOS", std::to_string(block) + ",1", "Caption|" + caption + "|0");
    trace.WriteResult("language", "caption",
                {{"page", page.layout}, {"control", entry->control}, {"text", caption}}, written);
  }
}

}  // namespace

std::string LanguageNameForId(int id) {
  for (const LanguageId& entry : kLanguageIds)
    if (entry.id == id) return entry.name;
  return "";
}

std::string LanguageFileLocation(const FileSystem& files, const std::string& setupDir, const std::string& name) {
  if (files.IsFolder(setupDir + "languages")) return setupDir + "languages\\" + name + ".lan";
  return setupDir + name + ".lan";
}

std::vector<std::string> LanguageNames(const FileSystem& files, const std::string& setupDir) {
  std::string folder = files.IsFolder(setupDir + "languages") ? setupDir + "languages\\" : setupDir;
  std::vector<std::string> names;
  for (const std::string& file : files.Find(folder + "*.lan")) {
    if (file == "." || file == ".." || file.size() < 4) continue;
    names.push_back(file.substr(0, file.size() - 4));
  }
  return names;
}

std::string LanguageCaption(std::string text) {
  for (char& c : text) {
    if (c == '[') c = '<';
    if (c == ']') c = '>';
  }
  size_t brace = text.find('}');
  return brace == std::string::npos ? text : text.substr(brace + 1);
}

void RewriteLayoutCaptions(const FileSystem& files, ProfileFiles& profiles, const std::string& themeDir,
                           const LanguageFile& language, Trace& trace) {
  for (const PageTranslation& page : Translations())
    RewritePage(files, profiles, themeDir + page.layout, page, language, trace);
}

}  // namespace tw
