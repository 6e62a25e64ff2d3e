// page_preview.exe: shows one page of a theme through the real Win32 UI, prints its clicks and
// events, and can save a screenshot of the page as a PNG (tarnwick-page runs it under Wine).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/win32_platform.h"
#include "skin/page_preview.h"
#include "skin/skin_page.h"
#include "support/png_writer.h"

namespace {

constexpr UINT kPollMs = 100;
constexpr int kDefaultShotSeconds = 1;

struct Options {
  std::string themeFolder;  // with its trailing backslash
  std::string layout;
  std::string shot;
  int seconds = 0;
};

// What the poll timer looks after; the timer procedure has no other way to reach it.
struct Session {
  tw::CSkinPage* page = nullptr;
  tw::Ui* ui = nullptr;
  Options options;
  DWORD started = 0;
  int exitCode = 0;
};
Session session;

void PrintLine(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
  if (!IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

// The page is this thread's only visible top-level window.
HWND PageWindowHandle() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisible, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The window's rectangle as the screen shows it, frame and caption included, as RGB rows.
bool CaptureWindow(HWND window, int& width, int& height, std::string& rgb) {
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return false;
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows, as the PNG wants them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memory && dib) {
    HGDIOBJ old = SelectObject(memory, dib);
    copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != 0;
    GdiFlush();
    SelectObject(memory, old);
  }
  if (copied) {
    const auto* pixels = static_cast<const unsigned char*>(bits);
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    rgb.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
    size_t at = 0;
    for (int y = 0; y < height; ++y) {
      const unsigned char* row = pixels + stride * static_cast<size_t>(y);
      for (int x = 0; x < width; ++x, at += 3) {  // the DIB keeps blue, green, red
        rgb[at] = static_cast<char>(row[x * 3 + 2]);
        rgb[at + 1] = static_cast<char>(row[x * 3 + 1]);
        rgb[at + 2] = static_cast<char>(row[x * 3]);
      }
    }
  }
  if (dib) DeleteObject(dib);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return copied;
}

bool SaveShot(const std::string& path) {
  int width = 0, height = 0;
  std::string rgb;
  if (!CaptureWindow(PageWindowHandle(), width, height, rgb)) {
    std::fprintf(stderr, "page_preview: cannot capture the page window\n");
    return false;
  }
  std::string png = tw::EncodePng(width, height, rgb);
  FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
  if (file && std::fclose(file) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "page_preview: cannot write %s\n", path.c_str());
    return false;
  }
  PrintLine("shot path=" + tw::Trace::Quote(path) + " size=" + std::to_string(width) + "x" + std::to_string(height));
  return true;
}

// Ends the loop once the page has gone, and takes the shot or ends the page when its time is up.
void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
  tw::CSkinPage& page = *session.page;
  if (!page.Window().IsOpen()) {
    session.ui->PostQuit(session.exitCode);
    return;
  }
  int seconds = session.options.seconds;
  if (!session.options.shot.empty() && seconds <= 0) seconds = kDefaultShotSeconds;
  if (seconds <= 0 || GetTickCount() - session.started < static_cast<DWORD>(seconds) * 1000) return;
  if (!session.options.shot.empty() && !SaveShot(session.options.shot)) session.exitCode = 1;
  page.End();
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
  DWORD attributes = GetFileAttributesA(options.themeFolder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    std::fprintf(stderr, "page_preview: no theme folder %s\n", options.themeFolder.c_str());
    return 1;
  }
  if (GetFileAttributesA((options.themeFolder + options.layout).c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "page_preview: no layout %s%s\n", options.themeFolder.c_str(), options.layout.c_str());
    return 1;
  }
  // Setup runs with its work folder, where the theme lies, as the current folder: a background
  // picture named without a folder is found there.
  SetCurrentDirectoryA(options.themeFolder.c_str());

  tw::Win32Platform win32;
  win32.ui.LoadRichEdit();
  tw::PreviewHost host(win32.platform, options.themeFolder, PrintLine);
  tw::CSkinPage page(host);
  page.LoadLayout(options.themeFolder, options.layout, 0, 1);
  page.Show();
  // In front, so the preview shows the caption as a user sees the page in use.
  SetForegroundWindow(PageWindowHandle());
  PrintLine("shown caption=" + tw::Trace::Quote(page.ExpandPlaceholders(page.Settings().caption)));

  session.page = &page;
  session.ui = &win32.ui;
  session.options = options;
  session.started = GetTickCount();
  UINT_PTR timer = SetTimer(nullptr, 0, kPollMs, Poll);
  int code = win32.ui.RunMessageLoop();
  KillTimer(nullptr, timer);
  PrintLine("ended");
  return code;
}
