// Keeps the layers pointing one way: every #include "..." under src/ may name only its own folder
// or a folder below it. A failure names the file, the line and the include that points up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace tw {
namespace {

namespace fs = std::filesystem;

// What each folder may include besides itself. Peers on one floor (platform and crypt, skin and
// install) stay out of each other, so either can change without the other noticing.
const std::map<std::string, std::set<std::string>>& AllowedBelow() {
  static const std::map<std::string, std::set<std::string>> allowed = {
      {"platform", {}},
      {"crypt", {}},
      {"project", {"platform", "crypt"}},
      {"support", {"platform", "crypt", "project"}},
      {"skin", {"platform", "crypt", "project", "support"}},
      {"install", {"platform", "crypt", "project", "support"}},
      {"uninstall", {"platform", "crypt", "project", "support", "skin", "install"}},
      {"app", {"platform", "crypt", "project", "support", "skin", "install"}},
      {"res", {}},
  };
  return allowed;
}

// The layer of a path relative to src/: its first folder, or "" for files at the top (WinMain),
// which may include anything.
std::string LayerOf(const std::string& relative) {
  const auto slash = relative.find('/');
  return slash == std::string::npos ? "" : relative.substr(0, slash);
}

// Upward or sideways includes of one file, as "file:line includes "target"".
std::vector<std::string> WrongIncludes(const fs::path& file, const std::string& relative) {
  std::vector<std::string> wrong;
  const std::string layer = LayerOf(relative);
  if (layer.empty()) return wrong;
  const auto rule = AllowedBelow().find(layer);
  if (rule == AllowedBelow().end()) {
    wrong.push_back(relative + ": folder has no place in the layers");
    return wrong;
  }
  static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
  std::ifstream in(file);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::smatch match;
    if (!std::regex_search(line, match, include)) continue;
    const std::string target = match[1];
    const std::string targetLayer = LayerOf(target);
    // A bare name ("resource.h") is a file beside this one.
    if (targetLayer.empty() || targetLayer == layer || rule->second.count(targetLayer)) continue;
    wrong.push_back(relative + ":" + std::to_string(number) + " includes \"" + target + "\"");
  }
  return wrong;
}

TEST(Layering, NoIncludeUnderSrcPointsUp) {
  const fs::path src = fs::path(TW_SOURCE_DIR) / "src";
  ASSERT_TRUE(fs::is_directory(src)) << src;
  std::vector<std::string> wrong;
  int read = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp" && ext != ".rc")) continue;
    const std::string relative = fs::relative(entry.path(), src).generic_string();
    for (auto& w : WrongIncludes(entry.path(), relative)) wrong.push_back(std::move(w));
    ++read;
  }
  EXPECT_GT(read, 100) << "the walk found too few sources to be reading the real tree";
  for (const auto& w : wrong) ADD_FAILURE() << w;
}

}  // namespace
}  // namespace tw
