#include "uninstall/product_removal.h"

#include <algorithm>
#include <istream>
#include <set>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"
#include "project/trace.h"
#include "install/ownership.h"
#include "uninstall/removal_guard.h"

namespace tw {

namespace {

// The log's text, or nothing when it is missing or larger than any installation writes.
std::optional<std::string> ReadBoundedLog(Platform& platform, const std::string& path, Trace& trace) {
  FileSystem& files = platform.files;
  std::optional<std::string> text = ReadBoundedText(files, platform.system, path, kMaxLogBytes);
  if (!text && files.Exists(path)) trace.Write("uninstall", "log", {{"path", path}, {"result", "too-large"}});
  return text;
}

// Both places a product of this engine may be installed in, the machine's first.
std::vector<ProductPlaces> EveryScope(const SystemInfo& system, const std::string& code) {
  const std::string localAppData = system.SpecialFolder(kLocalAppDataCsidl);
  std::vector<ProductPlaces> scopes{PlacesFor(system.WindowsFolder(), localAppData, code, false)};
  if (!localAppData.empty()) scopes.push_back(PlacesFor(system.WindowsFolder(), localAppData, code, true));
  return scopes;
}

// The files the logs of the other installed products list, lower case. Every product of this engine
// keeps its log in a folder of its own, named by its product code, in an "Installer" folder (the
// Windows folder's, or the user's own for per-user installations): the neighbours of a product's
// log folder there are the other products.
std::set<std::string> FilesOfOtherProducts(Platform& platform, const InstalledProduct& product) {
  std::set<std::string> shared;
  for (const ProductPlaces& places : EveryScope(platform.system, product.code)) {
    const std::string folder = places.logDir.substr(0, places.logDir.size() - 1);
    const std::string installers = folder.substr(0, folder.rfind('\\') + 1);
    for (const std::string& name : platform.files.Find(installers + "*")) {
      if (Lower(installers + name + "\\") == Lower(product.logDir)) continue;
      std::optional<std::string> text =
          ReadBoundedText(platform.files, platform.system, installers + name + "\\uninstall.log", kMaxLogBytes);
      if (!text) continue;
      for (const LogEntry& entry : ParseUninstallLog(*text).entries)
        if (entry.key == "FILE") shared.insert(Lower(entry.value));
    }
  }
  return shared;
}

}  // namespace

bool IsProductCode(const std::string& code) {
  if (code.empty() || code.size() > 200 || code == "." || code == "..") return false;
  if (code.back() == '.' || code.back() == ' ') return false;
  return std::none_of(code.begin(), code.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos;
  });
}

std::optional<InstalledProduct> FindInstalledProduct(Platform& platform, Trace& trace, const std::string& code) {
  if (!IsProductCode(code)) {
    trace.Write("uninstall", "product", {{"code", code}, {"result", "bad-code"}});
    return std::nullopt;
  }
  InstalledProduct product;
  product.code = code;
  // A machine-wide installation first, then the current user's own.
  std::string logPath;
  for (const ProductPlaces& places : EveryScope(platform.system, code)) {
    product.logDir = places.logDir;
    product.root = places.root;
    logPath = product.logDir + "uninstall.log";
    if (platform.files.Exists(logPath)) break;
  }
  if (!platform.files.Exists(logPath)) {
    trace.Write("uninstall", "product", {{"code", code}, {"log", logPath}, {"result", "no-log"}});
    return std::nullopt;
  }
  auto text = ReadBoundedLog(platform, logPath, trace);
  product.log = ParseUninstallLog(text.value_or(""));
  // A log written in another encoding, cut to nothing or too large is no log to act on.
  product.logReadable = text && !product.log.entries.empty();
  // What the installation found before it changed things; a log from before this record existed
  // has none, and is reversed as it always was.
  product.prior = ReadPriorRecords(platform.files, platform.system, product.logDir);
  product.displayName =
      platform.registry.ReadString(product.root, kUninstallKey + code, "DisplayName").value_or("");
  if (product.displayName.empty()) product.displayName = code;
  trace.Write("uninstall", "product",
              {{"code", code}, {"name", product.displayName}, {"entries", std::to_string(product.log.entries.size())},
               {"skipped", std::to_string(product.log.skipped.size())},
               {"result", product.logReadable ? "ok" : "unreadable-log"}});
  return product;
}

ReversalOutcome RemoveProduct(Platform& platform, Trace& trace, const InstalledProduct& product,
                              const ReversalProgress& progress) {
  RemovalGuard guard(platform);
  const std::set<std::string> sharedFiles = FilesOfOtherProducts(platform, product);
  ReversalOutcome outcome =
      ReverseLog(platform, trace, guard, product.log, product.prior, sharedFiles, product.logDir, progress);

  const std::string key = kUninstallKey + product.code;
  bool unregistered = platform.registry.DeleteTree(product.root, key);
  trace.Write("uninstall", "registration", {{"key", key}, {"result", unregistered ? "removed" : "missing"}});

  FileSystem& files = platform.files;
  const std::string folder = product.logDir.substr(0, product.logDir.size() - 1);
  // Whatever is still held open there goes at the next start, the folder after its files.
  TreeRemoval tree = files.RemoveTree(folder, LeftInUse::kAtRestart);
  outcome.restartNeeded = outcome.restartNeeded || tree.atRestart > 0;
  trace.Write("uninstall", "log-folder", {{"path", folder}, {"result", tree.removed ? "removed" : "left"}});
  // The installer folder that holds every product's log folder was made by the first installation
  // on a machine without one; with the last product gone, it goes too. Anything in it keeps it.
  const std::string installers = folder.substr(0, folder.rfind('\\'));
  if (files.RemoveFolder(installers)) trace.Write("uninstall", "installer-folder", {{"path", installers}, {"result", "removed"}});
  std::string failedLines;
  for (int line : outcome.failedLines) failedLines += (failedLines.empty() ? "" : ",") + std::to_string(line);
  trace.Write("uninstall", "end",
              {{"removed", std::to_string(outcome.removed)}, {"refused", std::to_string(outcome.refused)},
               {"failed", std::to_string(outcome.failed)}, {"restart", outcome.restartNeeded ? "yes" : "no"},
               {"failed-lines", failedLines.empty() ? "none" : failedLines}});
  return outcome;
}

}  // namespace tw
