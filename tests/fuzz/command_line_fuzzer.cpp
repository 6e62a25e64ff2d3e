// The command line over any bytes: whatever it holds, an accepted line names only folders the
// folder dialog would take and paths within their limit, a "/S" in front always counts, and the
// parse is the same every time.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/folder_path.h"

namespace {

constexpr size_t kMaxPath = 259;

bool Same(const tw::CommandLine& a, const tw::CommandLine& b) {
  return a.silent == b.silent && a.help == b.help && a.noRestart == b.noRestart && a.scope == b.scope &&
         a.installDir == b.installDir && a.logFile == b.logFile && a.error == b.error;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string arguments(reinterpret_cast<const char*>(data), size);
  const tw::CommandLine line = tw::ParseCommandLine(arguments);
  if (!Same(line, tw::ParseCommandLine(arguments))) std::abort();
  if (line.error.empty()) {
    if (line.installDir.size() > kMaxPath || line.logFile.size() > kMaxPath) std::abort();
    const std::string& dir = line.installDir;
    const std::string folder = dir.size() > 3 && dir.back() == '\\' ? dir.substr(0, dir.size() - 1) : dir;
    if (!dir.empty() && !tw::IsValidFolderPath(folder)) std::abort();
  }
  // A silent run stays silent whatever follows the switch, refused or not.
  if (!tw::ParseCommandLine("/S " + arguments).silent) std::abort();
  return 0;
}
