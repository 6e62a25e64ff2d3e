// tarnwick-page: shows a theme author what one layout file makes of a page: a readable dump of the
// page model, or with --png a screenshot of the real page drawn under Wine.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "platform/fake/fake_platform.h"
#include "skin/page_preview.h"
#include "skin/skin_page.h"
#include "wine_render.h"

namespace fs = std::filesystem;

namespace {

constexpr char kThemeFolder[] = "C:\\theme\\";

struct Options {
  std::string themeDir, layout, png, win64Dir;
};

int Usage(const std::string& problem) {
  std::fprintf(stderr,
               "tarnwick-page: %s\n"
               "usage: tarnwick-page THEME_DIR LAYOUT [--png OUT.png] [--win64 DIR]\n"
               "  Without --png: prints the page that LAYOUT (a .lcd file in THEME_DIR) makes: its window\n"
               "  settings and every control with its look, with sample values for the placeholders.\n"
               "  --png OUT.png: draws the real page with page_preview.exe under wine64 on a private Xvfb\n"
               "  and a private Wine prefix, and saves the page's window as OUT.png.\n"
               "  --win64 DIR: the folder of page_preview.exe; default $TARNWICK_WIN64_DIR, else the\n"
               "  build's win64 folder beside this program's (../win64).\n"
               "  TARNWICK_WINE_PREFIX: a prepared Wine prefix to copy instead of making a new one.\n",
               problem.c_str());
  return 2;
}

bool Parse(int argc, char** argv, Options& options, std::string& problem) {
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--png" || arg == "--win64") {
      if (i + 1 >= argc) {
        problem = "missing value after " + arg;
        return false;
      }
      (arg == "--png" ? options.png : options.win64Dir) = argv[++i];
    } else if (positional < 2 && !(arg.size() > 1 && arg[0] == '-' && arg[1] == '-')) {
      (positional++ == 0 ? options.themeDir : options.layout) = arg;
    } else {
      problem = "unexpected argument " + arg;
      return false;
    }
  }
  if (positional != 2) problem = "THEME_DIR and LAYOUT are required";
  return positional == 2;
}

std::string DefaultWin64Dir() {
  if (const char* dir = std::getenv("TARNWICK_WIN64_DIR"); dir && *dir) return dir;
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string("../win64") : (self.parent_path().parent_path() / "win64").string();
}

// The fake platform is the headless twin of the Windows one: the same page model runs on it, and
// every window and widget keeps the look it was given, which is what the dump prints.
void CopyTheme(tw::FakePlatform& fake, const fs::path& from, const std::string& to) {
  fake.files.MakeFolders(to);
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    std::string name = entry.path().filename().string();
    if (entry.is_directory()) {
      CopyTheme(fake, entry.path(), to + name + "\\");
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    fake.files.WriteAll(to + name, bytes.str());
    // The fake page window knows a background picture only by the sizes listed here.
    if (auto picture = fake.pictures.Decode(bytes.str())) {
      tw::PixelSize perInch = fake.pictures.PixelsPerInch();
      tw::HimetricSize size = picture->Size();
      tw::Size pixels{tw::HimetricToPixels(size.width, perInch.width), tw::HimetricToPixels(size.height, perInch.height)};
      fake.ui.pictureSizes[to + name] = pixels;
      fake.ui.pictureSizes[name] = pixels;
    }
  }
}

int DumpPage(const Options& options) {
  tw::FakePlatform fake;
  CopyTheme(fake, options.themeDir, kThemeFolder);
  // Setup runs in its work folder, where the theme lies: a bare background picture name is found there.
  fake.files.SetCurrentFolder(kThemeFolder);
  tw::PreviewHost host(fake.platform, kThemeFolder, [](const std::string& line) { std::printf("%s\n", line.c_str()); });
  tw::CSkinPage page(host);
  page.LoadLayout(kThemeFolder, options.layout, 0, 1);
  std::fputs(tw::DescribePage(page).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string problem;
  if (!Parse(argc, argv, options, problem)) return Usage(problem);
  if (!fs::is_directory(options.themeDir)) {
    std::fprintf(stderr, "tarnwick-page: no theme folder %s\n", options.themeDir.c_str());
    return 1;
  }
  if (!fs::is_regular_file(fs::path(options.themeDir) / options.layout)) {
    std::fprintf(stderr, "tarnwick-page: no layout %s in %s\n", options.layout.c_str(), options.themeDir.c_str());
    return 1;
  }
  if (options.png.empty()) return DumpPage(options);
  tw::RenderRequest request;
  request.themeDir = options.themeDir;
  request.layout = options.layout;
  request.pngOut = options.png;
  request.win64Dir = options.win64Dir.empty() ? DefaultWin64Dir() : options.win64Dir;
  if (const char* base = std::getenv("TARNWICK_WINE_PREFIX"); base && *base) request.basePrefix = base;
  return tw::RenderPageWithWine(request);
}
