// page_preview.exe: shows one page of a theme through the real Win32 UI, prints its clicks and
// events, and can save a screenshot of the page as a PNG (tarnwick-page runs it under Wine).
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "project/trace.h"
#include "platform/win32/win32_platform.h"
#include "skin/page_preview.h"
#include "skin/skin_page.h"
#include "support/png_writer.h"

namespace {

constexpr int kPollMs = 100;
constexpr int kDefaultShotSeconds = 1;

struct Options {
  std::string themeFolder;  // with its trailing backslash
  std::string layout;
  std::string shot;
  int seconds = 0;
};

void PrintLine(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

bool SaveShot(tw::CSkinPage& page, const std::string& path) {
  tw::Size size;
  std::string rgb;
  if (!page.Window().Capture(size, rgb)) {
    std::fprintf(stderr, "page_preview: cannot capture the page window\n");
    return false;
  }
  std::string png = tw::EncodePng(size.width, size.height, rgb);
  FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
  if (file && std::fclose(file) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "page_preview: cannot write %s\n", path.c_str());
    return false;
  }
  PrintLine("shot path=" + tw::Trace::Quote(path) + " size=" + std::to_string(size.width) + "x" +
            std::to_string(size.height));
  return true;
}

// Watches the page from a worker while the UI thread runs it: the page is only touched on the UI
// thread. Ends when the page has gone, or takes the shot (or ends the page) when its time is up.
int Watch(tw::Win32Platform& win32, tw::CSkinPage& page, const Options& options) {
  int seconds = options.seconds;
  if (!options.shot.empty() && seconds <= 0) seconds = kDefaultShotSeconds;
  const auto started = std::chrono::steady_clock::now();
  int exitCode = 0;
  bool done = false;
  win32.ui.RunAndPump([&] {
    while (!done) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
      bool timeUp = seconds > 0 && std::chrono::steady_clock::now() - started >= std::chrono::seconds(seconds);
      win32.ui.CallOnUiThread([&] {
        if (!page.Window().IsOpen()) {
          done = true;
        } else if (timeUp) {
          if (!options.shot.empty() && !SaveShot(page, options.shot)) exitCode = 1;
          page.End();
          done = true;
        }
      });
    }
  });
  return exitCode;
}

int Usage(const char* problem) {
  std::fprintf(stderr,
               "page_preview: %s\n"
               "usage: page_preview THEME_DIR LAYOUT [--shot OUT.png] [--seconds N]\n"
               "  Shows LAYOUT from THEME_DIR as the only page of a wizard and prints every click and\n"
               "  event. --shot saves the page's window as a PNG after N seconds (default 1) and ends;\n"
               "  otherwise the page stays until it ends (close box, confirmed Esc) or N seconds pass.\n",
               problem);
  return 64;
}

bool Parse(int argc, char** argv, Options& options, std::string& problem) {
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--shot" || arg == "--seconds") {
      if (i + 1 >= argc) {
        problem = "missing value after " + arg;
        return false;
      }
      std::string value = argv[++i];
      if (arg == "--shot") options.shot = value;
      else options.seconds = std::atoi(value.c_str());
    } else if (positional == 0) {
      options.themeFolder = arg;
      ++positional;
    } else if (positional == 1) {
      options.layout = arg;
      ++positional;
    } else {
      problem = "unexpected argument " + arg;
      return false;
    }
  }
  if (positional != 2) {
    problem = "THEME_DIR and LAYOUT are required";
    return false;
  }
  if (options.themeFolder.back() != '\\' && options.themeFolder.back() != '/') options.themeFolder += '\\';
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  Options options;
  std::string problem;
  if (!Parse(argc, argv, options, problem)) return Usage(problem.c_str());
  tw::Win32Platform win32;
  if (!win32.files.IsFolder(options.themeFolder)) {
    std::fprintf(stderr, "page_preview: no theme folder %s\n", options.themeFolder.c_str());
    return 1;
  }
  if (!win32.files.Exists(options.themeFolder + options.layout)) {
    std::fprintf(stderr, "page_preview: no layout %s%s\n", options.themeFolder.c_str(), options.layout.c_str());
    return 1;
  }
  // Setup runs with the folder it was started from as the current folder: a background picture
  // named without a folder is found there.
  win32.files.SetCurrentFolder(options.themeFolder);
  win32.ui.LoadRichEdit();
  tw::PreviewHost host(win32.platform, options.themeFolder, PrintLine);
  tw::CSkinPage page(host);
  page.LoadLayout(options.themeFolder, options.layout, 0, 1);
  page.Show();
  PrintLine("shown caption=" + tw::Trace::Quote(page.ExpandPlaceholders(page.Settings().caption)));
  int code = Watch(win32, page, options);
  PrintLine("ended");
  return code;
}
