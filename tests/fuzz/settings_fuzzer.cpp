// The other readers of the project settings, over a settings file of any bytes: features,
// billboards, the background's texts and colours, web addresses, and the machine check with its
// messages, on the fake platform with its files in memory.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "memory_platform.h"
#include "project/features.h"
#include "project/language_file.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "support/background.h"
#include "support/billboards.h"
#include "support/fetch_url_text.h"
#include "support/fixed_dialogs.h"
#include "support/requirements.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tw::MemoryPlatform* fake = new tw::MemoryPlatform;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const tw::ProjectSettings settings(text);

  tw::FeatureTable features;
  features.LoadFeatures(settings);
  if (tw::LoadBillboards(settings).size() > 20) std::abort();
  tw::BackgroundLook(settings);

  // Every value that could be an address, as a user variable's web source would be.
  const tw::IniDocument& document = settings.Document();
  int asked = 0;
  for (const std::string& section : document.Sections())
    for (const std::string& key : document.Keys(section)) {
      if (++asked > 200) break;
      const std::string value = settings.ReadSetting(section, key);
      features.FeatureAllows(value);
      if (auto address = tw::ParseHttpAddress(value)) {
        if (address->host.empty() || address->port < 1 || address->port > 65535 || address->path.empty() ||
            address->path[0] != '/')
          std::abort();
      }
    }

  tw::Trace trace;
  std::string languagePath;
  auto expand = [](const std::string& value) { return value; };
  tw::FixedDialogs dialogs(fake->platform.ui, fake->platform.files, trace, languagePath, expand);
  tw::CheckRequirements(settings, tw::LanguageFile(), expand, fake->platform.system, dialogs, trace);
  fake->ForgetShown();
  return 0;
}
