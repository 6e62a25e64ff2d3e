// The Wine run behind "tarnwick-page --png": a private Xvfb, a private prefix (copied from a
// prepared one or made with wineboot), page_preview.exe with --shot, then everything ended by id.
#include "wine_render.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "child_process.h"

namespace fs = std::filesystem;

namespace tw {
namespace {

constexpr int kXvfbStartSeconds = 10;
constexpr int kWinebootSeconds = 180;
constexpr int kRenderSeconds = 60;
constexpr int kServerSeconds = 20;
constexpr char kScreen[] = "1024x768x24";

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

void Complain(const std::string& text) { std::fprintf(stderr, "tarnwick-page: %s\n", text.c_str()); }

// Z: maps the host's root in every prefix.
std::string WindowsPath(const fs::path& path) {
  std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

// A private X server on a display it picks itself (-displayfd); stopped by id when this goes.
class PrivateXServer {
 public:
  ~PrivateXServer() {
    if (pid_) StopProcess(*pid_);
  }
  bool Start() {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    std::string fd = std::to_string(pipeFds[1]);
    int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    pid_ = StartProcess({"Xvfb", "-displayfd", fd, "-screen", "0", kScreen, "-nolisten", "tcp", "-noreset"},
                        {}, quiet);
    if (quiet >= 0) close(quiet);
    close(pipeFds[1]);
    std::string number;
    if (pid_) number = ReadDisplay(pipeFds[0]);
    close(pipeFds[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    return true;
  }
  const std::string& Display() const { return display_; }

 private:
  // The server writes its display number and a line end once it accepts clients.
  std::string ReadDisplay(int fd) {
    fcntl(fd, F_SETFL, O_NONBLOCK);
    std::string text;
    for (int i = 0; i < kXvfbStartSeconds * 20 && !Interrupted(); ++i) {
      char buffer[16];
      ssize_t got = read(fd, buffer, sizeof buffer);
      if (got > 0) text.append(buffer, static_cast<size_t>(got));
      if (text.find('\n') != std::string::npos) return text.substr(0, text.find('\n'));
      if (got == 0) return std::string();  // the server went away
      usleep(50000);
    }
    return std::string();
  }

  std::optional<pid_t> pid_;
  std::string display_;
};

// A Wine prefix of our own in a temporary folder. Wine keeps its server socket in the folder the
// prefix's "wineserver" file names; making that folder ourselves tells us what to remove.
class PrivatePrefix {
 public:
  ~PrivatePrefix() {
    if (root_.empty()) return;
    if (fs::exists(prefix_)) RunProcess({server_, "-k"}, Environment(""), kServerSeconds, false);
    std::error_code ignored;
    if (!serverTmp_.empty()) fs::remove_all(serverTmp_, ignored);
    fs::remove_all(root_, ignored);
  }

  bool Create() {
    std::string pattern = EnvOr("TMPDIR", "/tmp") + "/tarnwick-page-XXXXXX";
    if (!mkdtemp(pattern.data())) return false;
    root_ = pattern;
    prefix_ = root_ / "prefix";
    std::error_code error;
    return fs::create_directory(prefix_, error);
  }
  bool CopyFrom(const fs::path& base) {
    std::error_code error;
    CopyTree(base, prefix_, false, error);
    if (error) Complain("cannot copy the prefix " + base.string() + ": " + error.message());
    fs::remove(prefix_ / "wineserver", error);
    return !error && MakeServerFolder();
  }
  bool MakeServerFolder() {
    std::string pattern = EnvOr("TMPDIR", "/tmp") + "/wine-XXXXXX";
    if (!mkdtemp(pattern.data())) return false;
    serverTmp_ = pattern;
    std::ofstream(prefix_ / "wineserver") << serverTmp_.filename().string();
    fs::permissions(prefix_ / "wineserver", fs::perms::owner_read);
    return true;
  }

  // What every Wine process of ours runs with.
  EnvironmentChanges Environment(const std::string& display) const {
    return {{"WINEPREFIX", prefix_.string()}, {"DISPLAY", display},          {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", "mscoree,mshtml="}, {"WINESERVER", server_}, {"WINEARCH", ""}};
  }
  const fs::path& Prefix() const { return prefix_; }
  const fs::path& Root() const { return root_; }
  const std::string& Loader() const { return loader_; }
  const std::string& Server() const { return server_; }

 private:
  // system32 is large and never written by a page: its files are linked where the disk allows.
  static void CopyTree(const fs::path& from, const fs::path& to, bool link, std::error_code& error) {
    for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
      fs::path target = to / entry.path().filename();
      if (entry.is_symlink()) {
        fs::copy_symlink(entry.path(), target, error);
      } else if (entry.is_directory()) {
        fs::create_directory(target, error);
        if (!error) CopyTree(entry.path(), target, link || entry.path().filename() == "system32", error);
      } else {
        if (link) fs::create_hard_link(entry.path(), target, error);
        if (!link || error) fs::copy_file(entry.path(), target, error);
      }
      if (error) return;
    }
  }

  fs::path root_, prefix_, serverTmp_;
  std::string loader_ = EnvOr("WINELOADER", "/usr/lib/wine/wine64");
  std::string server_ = EnvOr("WINESERVER", "/usr/lib/wine/wineserver64");
};

// wineboot, then a virtual desktop: without a window manager on the X server, Wine would leave the
// page's caption and frame undrawn.
// Wine's chatter while it sets up a prefix tells an author nothing: the steps run quietly.
bool BootPrefix(PrivatePrefix& prefix, const std::string& display) {
  if (!prefix.MakeServerFolder()) return false;
  auto env = prefix.Environment(display);
  std::fprintf(stderr, "tarnwick-page: preparing a Wine prefix (set TARNWICK_WINE_PREFIX to reuse one)\n");
  const std::string& wine = prefix.Loader();
  std::string size = std::string(kScreen).substr(0, std::string(kScreen).rfind('x'));
  const std::vector<std::vector<std::string>> steps = {
      {wine, "wineboot", "-i"},
      {wine, "reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", "Default", "/f"},
      {wine, "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d", size, "/f"},
      {prefix.Server(), "-w"},
  };
  int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
  bool done = true;
  for (const auto& step : steps) {
    done = RunProcess(step, env, kWinebootSeconds, true, quiet) == 0;
    if (!done) break;
  }
  if (quiet >= 0) close(quiet);
  return done;
}

}  // namespace

int RenderPageWithWine(const RenderRequest& request) {
  fs::path renderer = fs::path(request.win64Dir) / "page_preview.exe";
  if (!fs::is_regular_file(renderer)) {
    Complain("no renderer " + renderer.string() + " (name its folder with --win64 DIR)");
    return 1;
  }
  fs::path out = fs::absolute(request.pngOut);
  std::error_code error;
  fs::remove(out, error);
  CatchInterrupts();

  PrivateXServer xServer;  // declared first, so it goes last: Wine is ended before its display
  if (!xServer.Start()) {
    Complain("cannot start Xvfb");
    return 1;
  }
  PrivatePrefix prefix;
  if (!prefix.Create()) {
    Complain("cannot make a temporary folder for the Wine prefix");
    return 1;
  }
  bool ready = !request.basePrefix.empty() ? prefix.CopyFrom(request.basePrefix) : BootPrefix(prefix, xServer.Display());
  if (!ready) {
    Complain(Interrupted() ? "interrupted" : "cannot prepare the Wine prefix in " + prefix.Root().string());
    return 1;
  }
  std::optional<int> code =
      RunProcess({prefix.Loader(), renderer.string(), WindowsPath(request.themeDir), request.layout, "--shot",
                  WindowsPath(out)},
                 prefix.Environment(xServer.Display()), kRenderSeconds);
  if (!code) {
    Complain(Interrupted() ? "interrupted" : "the renderer did not finish in time");
    return 1;
  }
  if (*code != 0 || !fs::is_regular_file(out)) {
    Complain("the renderer failed (exit code " + std::to_string(*code) + ")");
    return 1;
  }
  std::printf("picture %s\n", out.string().c_str());
  return 0;
}

}  // namespace tw
