#include "uninstall/uninstall_app.h"

#include <cctype>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"
#include "project/language_file.h"
#include "project/placeholders.h"
#include "support/fixed_dialogs.h"
#include "uninstall/product_removal.h"
#include "uninstall/uninstall_page.h"

namespace tw {
namespace {

constexpr int kQuestionMode = 333;  // the confirmation dialog as a two-button question

// Texts a language file may give in its "Uninstall" section, with the English ones it falls back to.
enum TextId { kAskRemove, kRemoved, kRemovedRestart, kMaintain, kUnknown, kUsage, kBadLog, kIncomplete };
const char* const kEnglish[] = {
    "Remove <ProductName> and all of its components?",
    "<ProductName> was removed from your computer.",
    "<ProductName> was removed. Some of its files are in use and will be removed when you restart your computer.",
    "Changing or repairing <ProductName> is not available yet; it can only be removed. Remove <ProductName> and "
    "all of its components?",
    "<ProductName> is not installed on this computer (its removal information was not found). Nothing was changed.",
    "Usage: dovuvi.exe /R <product code> (remove), /S <product code> (remove silently) or /M <product code> "
    "(maintenance).",
    "The removal information of <ProductName> cannot be read. Nothing was changed.",
    "<ProductName> was removed, but some of its parts could not be removed.",
};

std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  size_t at = 0;
  while (at < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[at]))) {
      ++at;
      continue;
    }
    std::string token;
    bool quoted = false;
    for (; at < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[at]))); ++at) {
      if (line[at] == '"')
        quoted = !quoted;
      else
        token += line[at];
    }
    tokens.push_back(token);
  }
  return tokens;
}

std::string Expand(const std::string& text, const std::string& productName) {
  PlaceholderValues values;
  values.productName = productName;
  return ExpandPlaceholderText(text, values, {}, Expansion::Wizard);
}

class Texts {
 public:
  Texts(const FileSystem& files, const std::string& languageFile, const std::string& productName)
      : language_(LanguageFile::Load(files, languageFile)), productName_(productName) {}
  std::string Get(TextId id) const {
    std::string text = language_.Text("Uninstall", std::to_string(id));
    return Expand(text.empty() ? kEnglish[id] : text, productName_);
  }
  // The label that closes a message, in the product's language ("OK" without one).
  std::string CloseLabel() const {
    std::string label = language_.Text("SetupError", "3");
    return label.empty() ? "OK" : label;
  }

 private:
  LanguageFile language_;
  std::string productName_;
};

// The confirmation dialog as a question; the language may lack its labels, then they read Yes and No.
bool Ask(Ui& ui, Trace& trace, FixedDialogs& dialogs, const std::string& text) {
  FixedDialogLook look = dialogs.ConfirmLook(kQuestionMode, text);
  for (FixedDialogLook::Button& button : look.buttons)
    if (!button.label || button.label->empty()) button.label = button.result == 1 ? "Yes" : "No";
  int answer = ui.RunFixedDialog(look);
  trace.Write("dialog", "question", {{"text", text}, {"answer", std::to_string(answer)}});
  return answer == 1;
}

const char* ModeName(UninstallMode mode) {
  switch (mode) {
    case UninstallMode::Remove: return "remove";
    case UninstallMode::Silent: return "silent";
    case UninstallMode::Maintain: return "maintain";
    case UninstallMode::None: break;
  }
  return "none";
}

}  // namespace

UninstallCommand ParseUninstallCommandLine(const std::string& commandLine) {
  std::vector<std::string> tokens = Tokens(commandLine);
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string word = Lower(tokens[i]);
    UninstallMode mode = word == "/r" ? UninstallMode::Remove
                         : word == "/s" ? UninstallMode::Silent
                         : word == "/m" ? UninstallMode::Maintain
                                        : UninstallMode::None;
    if (mode == UninstallMode::None) continue;
    // A switch without its code keeps its mode, so "/S" alone still means: show nothing.
    return {mode, i + 1 < tokens.size() ? tokens[i + 1] : std::string()};
  }
  return {};
}

UninstallApp::UninstallApp(Platform& platform) : platform_(platform), trace_(platform.files, platform.system) {}

int UninstallApp::Run(const std::string& commandLine) {
  const UninstallCommand command = ParseUninstallCommandLine(commandLine);
  trace_.Write("uninstall", "start", {{"command-line", commandLine}, {"mode", ModeName(command.mode)}, {"code", command.code}});
  Ui& ui = platform_.ui;
  const bool usable = command.mode != UninstallMode::None && !command.code.empty();
  auto product = usable ? FindInstalledProduct(platform_, trace_, command.code) : std::nullopt;
  const bool silent = command.mode == UninstallMode::Silent;
  const std::string languageFile = product ? product->logDir + "language.lan" : std::string();
  const Texts texts(platform_.files, languageFile, product ? product->displayName : command.code);
  FixedDialogs dialogs(ui, platform_.files, trace_, languageFile, [&](const std::string& text) {
    return Expand(text, product ? product->displayName : command.code);
  });
  if (!usable) {
    if (!silent) dialogs.ShowInfo(texts.Get(kUsage));
    return kExitBadCommandLine;
  }
  if (!product) {
    if (!silent) dialogs.ShowInfo(texts.Get(kUnknown));
    return kExitUnknownProduct;
  }
  // A log that cannot be read removes nothing: the registration stays, so the product can still
  // be removed once its log is mended.
  if (!product->logReadable) {
    if (!silent) dialogs.ShowInfo(texts.Get(kBadLog));
    return kExitFailed;
  }
  if (silent) return RemoveSilently(*product);
  const TextId question = command.mode == UninstallMode::Maintain ? kMaintain : kAskRemove;
  if (!Ask(ui, trace_, dialogs, texts.Get(question))) {
    trace_.Write("uninstall", "declined", {{"code", product->code}});
    return kExitCancelled;
  }
  return RemoveWithWindow(*product, dialogs, languageFile);
}

int UninstallApp::RemoveSilently(const InstalledProduct& product) {
  return ExitCodeFor(RemoveProduct(platform_, trace_, product, nullptr));
}

// What the system would not undo fails the removal, once everything else is done; what the guard
// refused on purpose does not.
int UninstallApp::ExitCodeFor(const ReversalOutcome& outcome) {
  if (outcome.failed > 0) return kExitFailed;
  return outcome.restartNeeded ? kExitRestartNeeded : kExitSuccess;
}

int UninstallApp::RemoveWithWindow(const InstalledProduct& product, FixedDialogs& dialogs,
                                   const std::string& languageFile) {
  // Everything the end needs is read now: the removal takes the log folder, language and theme with it.
  const Texts texts(platform_.files, languageFile, product.displayName);
  const std::string done = texts.Get(kRemoved), doneRestart = texts.Get(kRemovedRestart);
  const std::string incomplete = texts.Get(kIncomplete);
  const std::string label = texts.CloseLabel();
  Ui& ui = platform_.ui;
  UninstallPage page(platform_, product.displayName);
  bool shown = page.Open(product.logDir + "theme\\");
  trace_.Write("uninstall", "page", {{"layout", product.logDir + "theme\\uninstall.lcd"}, {"shown", shown ? "yes" : "no"}});

  ReversalOutcome outcome;
  ui.RunAndPump([&] {
    outcome = RemoveProduct(platform_, trace_, product, [&](int doneCount, int total) {
      ui.CallOnUiThread([&] { page.SetProgress(doneCount, total); });
    });
  });
  const int exitCode = ExitCodeFor(outcome);
  const std::string text = exitCode == kExitFailed ? incomplete : outcome.restartNeeded ? doneRestart : done;
  if (!shown) {
    dialogs.ShowInfo(text);
    return exitCode;
  }
  page.Finish(text, label, exitCode);
  return ui.RunMessageLoop();
}

}  // namespace tw
