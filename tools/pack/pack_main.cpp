// tarnwick-pack PROJECT_DIR OUT_DIR [--setup PATH_TO_SETUP_EXE]: packs a plain project folder into
// the folder that ships beside setup.exe, printing one line per file written.
#include <iostream>
#include <string>

#include "project_packer.h"

namespace {

int Usage() {
  std::cerr << "usage: tarnwick-pack PROJECT_DIR OUT_DIR [--setup PATH_TO_SETUP_EXE]\n"
               "  PROJECT_DIR holds setup.inf, data.inf and optionally theme/, language.lan,\n"
               "  languages/*.lan and SupportFiles/; OUT_DIR receives setup.ziv, data.ziv, the ^! theme\n"
               "  files, the language and support files, and setup.exe when given.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tw::pack::PackOptions options;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--setup") {
      if (i + 1 >= argc) return Usage();
      options.setupExe = argv[++i];
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
  if (positional != 2) return Usage();

  try {
    tw::pack::PackProject(options, [](const std::filesystem::path& file) { std::cout << file.string() << "\n"; });
  } catch (const std::exception& e) {
    std::cerr << "tarnwick-pack: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
