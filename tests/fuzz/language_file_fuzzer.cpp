// A language file of any bytes: its texts as captions, and the standard layouts' captions rewritten
// from it, on the fake platform with its files in memory. A form feed in the input ends the
// language file; what follows it is the layout whose captions are rewritten.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/language_selection.h"
#include "memory_platform.h"
#include "project/language_file.h"
#include "project/trace.h"

namespace {

constexpr char kSetup[] = "C:\\setup\\";
constexpr char kTheme[] = "C:\\setup\\theme\\";

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
  const tw::IniDocument document = tw::IniDocument::Parse(languageText);
  for (const std::string& section : document.Sections())
    for (const std::string& key : document.Keys(section)) {
      const std::string text = language.Text(section, key);
      if (text.size() > 254) std::abort();
      tw::LanguageCaption(text);
    }
  tw::Trace trace;
  tw::RewriteLayoutCaptions(fake->files, fake->profiles, kTheme, language, trace);
  tw::LanguageNames(fake->files, kSetup);
  return 0;
}
