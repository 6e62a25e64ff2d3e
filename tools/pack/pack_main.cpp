// tarnwick-pack PROJECT_DIR OUT_DIR [--setup SETUP_EXE] [--uninstaller DOVUVI_EXE] [--disk-image | --split]
// [--winget DIR ...] [--single-file] [--sign PFX ...]: packs a plain project folder into the folder that ships beside setup.exe,
// printing one line per file written.
#include <functional>
#include <iostream>
#include <map>
#include <string>

#include "project_packer.h"

namespace {

int Usage() {
  std::cerr << "usage: tarnwick-pack PROJECT_DIR OUT_DIR [--setup PATH_TO_SETUP_EXE] [--uninstaller PATH_TO_DOVUVI_EXE]\n"
               "                     [--disk-image | --split]\n"
               "                     [--winget DIR [--winget-url URL] [--winget-id ID] [--winget-license TEXT]]\n"
               "                     [--single-file] [--sign PFX [--sign-password-env NAME] [--timestamp URL]]\n"
               "  PROJECT_DIR holds setup.inf, data.inf, payload/ (the files data.inf lists) and optionally\n"
               "  support/, theme/, language.lan, languages/*.lan, SupportFiles/, the splash files setup.<ext>\n"
               "  and mergemod.msi; OUT_DIR receives setup.ziv, data.ziv, the payload, the ^! theme files,\n"
               "  the language, splash and support files, and setup.exe when given.\n"
               "  The payload is file1.cab (MSZIP, members F<i>_<name>) unless --disk-image (the folder\n"
               "  DiskImage1 with the same names) or --split (file1.cab with the final names, unpacked\n"
               "  straight into the install folder; setup.inf should say CURRENTBUILD=Split Files).\n"
               "  The uninstaller dovuvi.exe joins the support files unless support/ brings one: the one\n"
               "  --uninstaller names, else the one beside the setup program.\n"
               "  --winget DIR (needs --setup) also writes into DIR the files packed into OUT_DIR as one zip,\n"
               "  <Product>-<version>.zip, and the winget manifests that install it: <ID>.yaml,\n"
               "  <ID>.installer.yaml and <ID>.locale.en-US.yaml. --winget-url is the address the zip will be\n"
               "  published at (without it the manifest holds a placeholder), --winget-id the package\n"
               "  identifier (default <Publisher>.<Product> from setup.inf), --winget-license the license\n"
               "  (default Proprietary).\n"
               "  --single-file (cabinet build, needs --setup) also writes OUT_DIR/<Product>-setup.exe: the setup\n"
               "  program with every file above appended and checked by it before use.\n"
               "  --sign PFX signs setup.exe, dovuvi.exe and the single file with SHA-256 Authenticode through\n"
               "  osslsigncode; the PFX password is read from the environment variable --sign-password-env names,\n"
               "  --timestamp URL has an RFC 3161 server time-stamp the signatures.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tw::pack::PackOptions options;
  options.warn = [](const std::string& text) { std::cerr << "tarnwick-pack: warning: " << text << "\n"; };
  options.progress = [](const std::string& text) { std::cerr << "tarnwick-pack: " << text << "\n"; };
  // The options that take a value, and where each value goes.
  const std::map<std::string, std::function<void(const char*)>> valued = {
      {"--setup", [&](const char* value) { options.setupExe = value; }},
      {"--uninstaller", [&](const char* value) { options.uninstallerExe = value; }},
      {"--winget", [&](const char* value) { options.wingetDir = value; }},
      {"--winget-url", [&](const char* value) { options.wingetUrl = value; }},
      {"--winget-id", [&](const char* value) { options.wingetId = value; }},
      {"--winget-license", [&](const char* value) { options.wingetLicense = value; }},
      {"--sign", [&](const char* value) { options.signPfx = value; }},
      {"--sign-password-env", [&](const char* value) { options.signPasswordEnv = value; }},
      {"--timestamp", [&](const char* value) { options.timestampUrl = value; }},
  };
  bool layoutGiven = false, wingetDetailGiven = false;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (auto found = valued.find(arg); found != valued.end()) {
      if (i + 1 >= argc) return Usage();
      found->second(argv[++i]);
      wingetDetailGiven = wingetDetailGiven || (arg.rfind("--winget-", 0) == 0);
    } else if (arg == "--single-file") {
      options.singleFile = true;
    } else if (arg == "--disk-image" || arg == "--split") {
      if (layoutGiven) return Usage();
      layoutGiven = true;
      options.layout = arg == "--split" ? tw::pack::PayloadLayout::kSplit : tw::pack::PayloadLayout::kDiskImage;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (positional == 0) {
      options.projectDir = arg;
      ++positional;
    } else if (positional == 1) {
      options.outDir = arg;
      ++positional;
    } else {
      return Usage();
    }
  }
  // A --winget-... detail without --winget is refused rather than ignored without a word.
  if (positional != 2 || (wingetDetailGiven && options.wingetDir.empty())) return Usage();
  // A signing detail without --sign would be dropped without a word.
  if (options.signPfx.empty() && (!options.signPasswordEnv.empty() || !options.timestampUrl.empty())) return Usage();

  try {
    tw::pack::PackProject(options, [](const std::filesystem::path& file) { std::cout << file.string() << "\n"; });
    for (const std::filesystem::path& file : tw::pack::MarkedUtf8Files(options))
      std::cout << "UTF-8 text, kept as it is: " << file.string() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "tarnwick-pack: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
