// A language file of any bytes: its texts as captions, and the standard layouts' captions rewritten
// from it, on the fake platform with its files in memory. A form feed in the input ends the
// language file; what follows it is the layout whose captions are rewritten.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/language_selection.h"
#include "memory_platform.h"
#include "platform/profile_files.h"
#include "project/language_file.h"
#include "project/trace.h"

namespace {

constexpr char kSetup[] = "C:\\setup\\";
constexpr char kTheme[] = "C:\\setup\\theme\\";

// Takes the rewritten captions without storing them: nothing reads the layout back within an input,
// and the next input writes a new one, so rewriting the whole file per caption (as the fake writer
// does) would only spend time outside the code under test. What is written must still be a caption
// property of the layout's property block.
class CaptionWrites : public tw::ProfileFiles {
 public:
  std::string ReadValue(const std::string&, const std::string&, const std::string&, const std::string& fallback,
                        int) const override {
    return fallback;
  }
  bool WriteValue(const std::string&, const std::string& section, const std::string& key,
                  const std::string& value) override {
    const bool caption = section == "DADOS" && key.size() > 2 && key.compare(key.size() - 2, 2, ",1") == 0 &&
                         value.compare(0, 8, "Caption|") == 0 && value.size() >= 10 &&
                         value.compare(value.size() - 2, 2, "|0") == 0;
    if (!caption) std::abort();
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tw::MemoryPlatform* fake = [] {
    auto* made = new tw::MemoryPlatform;
    made->files.MakeFolders(kTheme);
    return made;
  }();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const size_t cut = std::min(bytes.find('\f'), bytes.size());
  const std::string languageText = bytes.substr(0, cut);
  const std::string layout = bytes.substr(std::min(cut + 1, bytes.size()));
  fake->files.WriteAll(std::string(kSetup) + "language.lan", languageText);
  fake->files.WriteAll(std::string(kTheme) + "welcome.lcd", layout);

  const tw::LanguageFile language = tw::LanguageFile::Load(fake->files, std::string(kSetup) + "language.lan");
  const tw::IniDocument& document = language.Document();
  for (const std::string& section : document.Sections())
    for (const std::string& key : document.Keys(section)) {
      const std::string text = language.Text(section, key);
      if (text.size() > 254) std::abort();
      tw::LanguageCaption(text);
    }
  tw::Trace trace;
  CaptionWrites writes;
  tw::RewriteLayoutCaptions(fake->files, writes, kTheme, language, trace);
  tw::LanguageNames(fake->files, kSetup);
  return 0;
}
