// Runs the Windows page renderer (page_preview.exe) under wine64 on a private X server and a
// private Wine prefix, and ends everything it started however the run ends.
#pragma once
#include <string>

namespace tw {

struct RenderRequest {
  std::string themeDir;    // host path
  std::string layout;      // file name inside themeDir
  std::string pngOut;      // host path of the picture to write
  std::string win64Dir;    // folder holding page_preview.exe
  std::string basePrefix;  // a prepared prefix to copy; empty: make a new one with wineboot
};

// 0 when the picture was written; otherwise says what went wrong on stderr and returns 1.
int RenderPageWithWine(const RenderRequest& request);

}  // namespace tw
