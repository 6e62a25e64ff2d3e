#include "app/main_frame.h"

#include <cstdio>
#include <stdexcept>

#include "app/earlier_installation.h"
#include "app/folder_path.h"
#include "project/language_file.h"
#include "app/language_selection.h"
#include "app/single_file.h"
#include "project/os_tag.h"
#include "app/page_flow.h"
#include "app/user_variables.h"
#include "app/project_files.h"
#include "app/unattended_ui.h"
#include "crypt/rijndael_method.h"
#include "install/merge_modules.h"
#include "platform/text.h"
#include "support/background.h"
#include "support/billboards.h"
#include "support/fixed_dialogs.h"
#include "support/requirements.h"
#include "support/splash_window.h"

namespace tw {
namespace {

// The system calls fill buffers of 150 characters; a longer answer is cut rather than overrun.
constexpr size_t kFolderBuffer = 150;
constexpr size_t kShellFolderBuffer = 260;
constexpr int kMaxWorkFolderSuffix = 1000;
const char kMessageCaption[] = "Setup";
const char kMissingFilesMessage[] =
    "Sorry, Tarnwick can't find data files.\r\nsetup.ziv and data.ziv\r\n"
    "These files must be in the same directory of setup.exe";
const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kNtVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";

std::string Cut(const std::string& text, size_t bufferSize) { return Utf8Prefix(text, bufferSize - 1); }

std::string FormatWorkName(const LocalTime& now) {
  char name[16];
  std::snprintf(name, sizeof name, "tw%02d%02d%02d", now.hour % 100, now.minute % 100, now.second % 100);
  return name;
}

}  // namespace

CMainFrame::CMainFrame(Platform& platform, Trace& trace, HostFlags& flags, const CommandLine& commandLine)
    : platform_(platform),
      trace_(trace),
      flags_(flags),
      host_(trace),
      dialogs_(platform.ui, platform.files, trace, host_.LanguageFilePath,
               [this](const std::string& text) { return ExpandPlaceholders(text); }) {
  host_.CommandLineInstallDir = commandLine.installDir;
  host_.CommandLineScope = commandLine.scope;
  host_.CommandLineNoRestart = commandLine.noRestart;
  if (flags_.unattended == kOn)
    dialogs_.AnswerUnattended([this](const std::string& why) { EndUnattendedRun(flags_, trace_, why); });
  dialogs_.SetOwnerSource([this]() -> PageWindow* { return flow_ ? flow_->DialogOwner() : nullptr; });
}

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate() {
  host_.SplashShown = false;
  host_.SetupTypeChoice = SetupType::kNone;
  host_.LaunchChosen = host_.ReadmeChosen = false;

  ResolveFolders();
  CreateWorkFolder();
  // Before anything is made beside the program: a single-file build's folder is in the work folder.
  if (!TakeSingleFile()) return -1;
  PrepareThemeFolder();
  if (!ReadProjectFiles()) return -1;
  ResolveMachineValues();
  LoadProjectValues();
  if (!TakeProductLock()) return -1;
  host_.OsTag = OsTagFor(platform_.system.Version());
  trace_.Write("startup", "os", {{"tag", host_.OsTag}});
  if (SelectLanguage()) return 0;
  if (StartWizard() != 0) return -1;
  return 0;
}

PageFlow& CMainFrame::EnsureFlow() {
  if (!flow_) flow_ = std::make_unique<PageFlow>(*this);
  return *flow_;
}

bool CMainFrame::SelectLanguage() {
  trace_.Write("language", "method", {{"method", host_.LanguageMethod}});
  // Nobody is there to choose in a silent run: the project's own language serves.
  if (host_.LanguageMethod == "Ask User" && flags_.unattended == kOn) return false;
  if (host_.LanguageMethod == "Ask User") {
    EnsureFlow().ShowLanguagePage();
    return true;
  }
  if (host_.LanguageMethod != "Auto-Detect") return false;
  int id = platform_.system.UiLanguage();
  std::string name = LanguageNameForId(id);
  std::string file = LanguageFileLocation(platform_.files, host_.SetupDir, name);
  trace_.Write("language", "detect", {{"id", std::to_string(id)}, {"name", name}, {"file", file}});
  // A language the project does not ship keeps the default file: switching to a missing one would
  // leave the cancel dialog and the completion page without texts.
  if (name.empty() || !platform_.files.Exists(file)) return false;
  ApplyLanguage(file);
  return true;
}

void CMainFrame::ApplyLanguage(const std::string& file) {
  host_.LanguageFilePath = file;
  trace_.Write("language", "apply", {{"file", file}});
  RewriteLayoutCaptions(platform_.files, platform_.profiles, host_.ThemeDir, LanguageFile::Load(platform_.files, file),
                        trace_);
  StartWizard();
}

void CMainFrame::ResolveFolders() {
  SystemInfo& system = platform_.system;
  host_.WindowsDir = Cut(system.WindowsFolder(), kFolderBuffer);
  host_.WindowsVolume = host_.WindowsDir.substr(0, 2);
  host_.TempDir = WithBackslash(Cut(system.TempFolder(), kFolderBuffer));
  host_.SystemDir = WithBackslash(Cut(system.SystemFolder(), kFolderBuffer));
  UseSetupFolder(WithBackslash(platform_.files.CurrentFolder()));
  trace_.Write("startup", "folders",
               {{"setup", host_.SetupDir}, {"windows", host_.WindowsDir}, {"temp", host_.TempDir},
                {"system", host_.SystemDir}, {"theme", host_.ThemeDir}});
  host_.WorkName = FormatWorkName(system.Now());
}

void CMainFrame::UseSetupFolder(const std::string& folder) {
  host_.SetupDir = folder;
  host_.LanguageFilePath = host_.SetupDir + "language.lan";
  host_.ThemeDir = host_.SetupDir + "theme\\";
}

void CMainFrame::PrepareThemeFolder() {
  if (platform_.files.IsFolder(host_.ThemeDir)) return;
  ClearSystemError();
  bool created = platform_.files.MakeFolder(host_.ThemeDir);
  trace_.Write("startup", "theme-folder", {{"result", created ? "created" : "failed"}},
               created ? SystemError{} : LastSystemError());
  MoveThemeFiles();
}

bool CMainFrame::TakeSingleFile() {
  const std::string program = platform_.system.ProgramPath();
  const std::string folder = host_.WorkDir + "setup\\";
  const AppendedSetup setup = TakeAppendedFiles(platform_.files, program, folder, trace_);
  if (setup.outcome == AppendedSetup::kNone) return true;
  if (setup.outcome == AppendedSetup::kDamaged) {
    EndDamagedSetup(setup.languageFile, setup.error);
    return false;
  }
  UseSetupFolder(folder);
  trace_.Write("startup", "folders", {{"setup", host_.SetupDir}, {"theme", host_.ThemeDir}});
  host_.PayloadCabinet = PayloadWindow{program, setup.cabinetOffset, setup.cabinetSize, setup.cabinetHeadSize};
  payloadCheck_ = std::make_unique<PayloadCheck>(platform_.files, program, setup, trace_);
  return true;
}

bool CMainFrame::WaitForPayloadCheck() {
  if (!payloadCheck_ || payloadCheck_->Wait(platform_.ui)) return true;
  EndDamagedSetup(host_.LanguageFilePath, payloadCheck_->Error());
  return false;
}

// A damaged program file ends the run as a failure with nothing changed: the message, the work
// folder (and what was taken into it) removed, the process told to end. Only a language file that
// came out of the program's file checked may give the text: one lying beside it is anybody's.
void CMainFrame::EndDamagedSetup(const std::string& checkedLanguageFile, SystemError error) {
  payloadCheck_.reset();
  ShowStartupMessage(DamagedSetupText(platform_.files, checkedLanguageFile), error, kMbOk | kMbIconError);
  flags_.runFailed = kOn;
  RemoveWorkFolder(WorkFolderRemoval::Always);
  platform_.ui.PostQuit(1);
}

// Runs only when the theme folder was missing: the author's "^!" files become the theme.
void CMainFrame::MoveThemeFiles() {
  for (const std::string& name : platform_.files.Find(host_.SetupDir + "^!*.*")) {
    std::string target = name;
    ReplaceAll(target, "^!", "");
    ClearSystemError();
    bool moved = platform_.files.Move(host_.SetupDir + name, host_.ThemeDir + target);
    trace_.WriteResult("startup", "theme-move", {{"from", name}, {"to", target}}, moved);
  }
}

// The work folder is always a new one: when the name of this second is taken (another run, or a
// folder planted there), "_1", "_2", ... are tried, so two runs never share or delete each other's.
void CMainFrame::CreateWorkFolder() {
  const std::string base = host_.WorkName;
  bool created = false;
  SystemError error;  // the last attempt's own reason, taken before the existence test
  for (int suffix = 0; suffix <= kMaxWorkFolderSuffix; ++suffix) {
    host_.WorkName = suffix == 0 ? base : base + "_" + std::to_string(suffix);
    ClearSystemError();
    if (platform_.files.MakePrivateFolder(host_.TempDir + host_.WorkName)) {
      created = true;
      break;
    }
    error = LastSystemError();
    if (!platform_.files.Exists(host_.TempDir + host_.WorkName)) break;  // cannot be created at all: go on
  }
  host_.WorkDir = host_.TempDir + host_.WorkName + "\\";
  host_.SetupInfPath = host_.WorkDir + "setup.inf";
  host_.DataInfPath = host_.WorkDir + "data.inf";
  trace_.Write("startup", "work-folder", {{"path", host_.WorkDir}, {"result", created ? "created" : "failed"}},
               created ? SystemError{} : error);
}

bool CMainFrame::ReadProjectFiles() {
  if (!crypt_) crypt_ = std::make_unique<CRijndaelMethod>();
  SystemError missing;
  try {
    if (DecryptProjectFiles(*crypt_, platform_.files, host_.SetupDir, host_.WorkDir, &missing) ==
        ProjectFilesResult::Missing) {
      EndMissingFiles(missing);
      return false;
    }
  } catch (const std::exception& error) {
    // Read before anything else runs: the reason a project file could not be opened, or none.
    EndStartup(error.what(), LastSystemError());
    return false;
  }
  trace_.Write("startup", "decrypt", {{"result", "ok"}});
  settings_ = ProjectSettings(platform_.files.ReadText(host_.SetupInfPath).value_or(std::string()));
  return true;
}

// The box says the files are missing, as it always has; when the system kept a file from us rather
// than not finding it (a folder we may not read, say), its reason goes below that.
void CMainFrame::EndMissingFiles(SystemError error) {
  trace_.Write("startup", "decrypt", {{"result", "missing"}}, error);
  const bool absent = error.code == kErrorFileNotFound || error.code == kErrorPathNotFound;
  ShowStartupMessage(kMissingFilesMessage, absent ? SystemError{} : error, kMbOk);
  platform_.ui.PostQuit(1);
}

// A project file that cannot be decrypted ends start-up in order: the message, the work folder
// removed, the process told to end.
void CMainFrame::EndStartup(const std::string& message, SystemError error) {
  trace_.Write("startup", "decrypt", {{"result", "error"}, {"message", message}}, error);
  ShowStartupMessage(message, error, kMbOk | kMbIconError);
  RemoveWorkFolder(WorkFolderRemoval::Always);
  platform_.ui.PostQuit(1);
}

// A start-up failure's box: its message as it always reads, the system's reason below it when a
// platform call failed; the dialog's trace line holds what was shown.
void CMainFrame::ShowStartupMessage(const std::string& message, SystemError error, unsigned style) {
  const std::string text = WithReason(message, platform_.system.ErrorText(error));
  platform_.ui.ShowMessageBox(text, kMessageCaption, style);
  trace_.Write("dialog", "message", {{"text", text}, {"answer", "ok"}});
}

bool CMainFrame::TakeProductLock() {
  // Without a code of its own there is nothing to tell two products apart by.
  if (!IsPlainFileName(host_.ProductCode)) return true;
  productLock_ = platform_.shell.TakeMachineLock("Tarnwick-Setup-" + host_.ProductCode, 0);
  trace_.Write("startup", "product-lock", {{"code", host_.ProductCode}, {"result", productLock_ ? "taken" : "busy"}});
  if (productLock_) return true;
  const std::string message = "Another setup of " + host_.ProductName + " is running. Wait for it to finish, then try again.";
  platform_.ui.ShowMessageBox(message, kMessageCaption, kMbOk | kMbIconExclamation);
  trace_.Write("dialog", "message", {{"text", message}, {"answer", "ok"}});
  flags_.anotherRun = kOn;
  RemoveWorkFolder(WorkFolderRemoval::Always);
  platform_.ui.PostQuit(1);
  return false;
}

void CMainFrame::ResolveMachineValues() {
  const SystemInfo& system = platform_.system;
  // Each folder with the CSIDL the shell knows it by.
  static const struct {
    std::string SpecialFolders::*folder;
    int csidl;
  } kFolders[] = {{&SpecialFolders::favorites, 6}, {&SpecialFolders::commonDocuments, 46},
                  {&SpecialFolders::pictures, 39}, {&SpecialFolders::programs, 2},
                  {&SpecialFolders::music, 13},    {&SpecialFolders::sendTo, 9},
                  {&SpecialFolders::fonts, 20},    {&SpecialFolders::appData, 26},
                  {&SpecialFolders::personal, 5},  {&SpecialFolders::startup, 7},
                  {&SpecialFolders::startMenu, 11}, {&SpecialFolders::desktop, 16}};
  for (const auto& entry : kFolders)
    host_.Folders.*entry.folder = Cut(system.SpecialFolder(entry.csidl), kShellFolderBuffer);

  Registry& registry = platform_.registry;
  host_.ProgramFilesDir = registry.ReadString(RegRoot::LocalMachine, kVersionKey, "ProgramFilesDir").value_or("");
  host_.CommonFilesDir = registry.ReadString(RegRoot::LocalMachine, kVersionKey, "CommonFilesDir").value_or("");
  // Whether the key opens for all access is the administrator test. The folders themselves are
  // read with read access, so a normal user's "<ProgramFilesFolder>" still names the real folder
  // instead of collapsing to an empty text and a path at the drive root.
  bool fullAccess = registry.CanOpen(RegRoot::LocalMachine, kVersionKey, RegAccess::All);
  host_.NoProgramFilesDir = !fullAccess || host_.ProgramFilesDir.empty();
  host_.LoginName = host_.UserName = Cut(system.UserName(), kFolderBuffer);

  host_.CurrentBuild = ReadSetting("BUILDING", "CURRENTBUILD");
  if (platform_.files.IsFolder(host_.SetupDir + "DiskImage1")) flags_.useDiskImages = kOn;
  if (host_.CurrentBuild == "Split Files") {
    flags_.splitFiles = kOn;
    flags_.useDiskImages = kOn;
  }
  trace_.Write("startup", "machine",
               {{"programfiles", host_.ProgramFilesDir}, {"commonfiles", host_.CommonFilesDir},
                {"admin", host_.NoProgramFilesDir ? "no" : "yes"}, {"user", host_.UserName},
                {"build", host_.CurrentBuild}, {"diskimages", std::to_string(flags_.useDiskImages)}});
}

// The organisation is read only when the key opens for all access, as the old engine did; a
// normal user therefore gets an empty company name.
std::string CMainFrame::ReadCompanyName() const {
  if (!platform_.registry.CanOpen(RegRoot::LocalMachine, kNtVersionKey, RegAccess::All)) return "";
  return platform_.registry.ReadString(RegRoot::LocalMachine, kNtVersionKey, "RegisteredOrganization")
      .value_or("");
}

ProductPlaces CMainFrame::Places() const {
  return PlacesFor(ExpandPlaceholders("<WindowsFolder>"), platform_.system.SpecialFolder(kLocalAppDataCsidl),
                   host_.ProductCode, host_.PerUser);
}

// The order matters: "a4" is expanded with the values read before it, and an empty product code.
void CMainFrame::LoadProjectValues() {
  host_.ProductName = ReadSetting("APPINFO", "a1");
  host_.Publisher = ReadSetting("APPINFO", "a19");
  host_.ProductVersion = ReadSetting("APPINFO", "a2");
  host_.CompanyName = ReadCompanyName();
  host_.InstallDir = WithBackslash(ExpandPlaceholders(ReadSetting("APPINFO", "a4")));
  host_.DefaultInstallDir = host_.InstallDir;
  host_.PerUser = ReadSetting("APPINFO", "a8") == "Per-User";
  if (host_.CommandLineScope != InstallScope::kProject)
    host_.PerUser = host_.CommandLineScope == InstallScope::kCurrentUser;
  // A standard user cannot write Program Files: a per-user product goes to the user's own programs.
  if (host_.PerUser)
    host_.DefaultInstallDir = host_.InstallDir = UserProgramsFolder(host_.InstallDir, host_.ProgramFilesDir,
                                                         platform_.system.SpecialFolder(kLocalAppDataCsidl));
  host_.LanguageName = ReadSetting("APPINFO", "Language");
  host_.ProductCode = ReadSetting("APPINFO", "a3");
  host_.LaunchFile = ReadSetting("DIALOGLIST", "CT10");
  host_.LaunchParameters = ReadSetting("DIALOGLIST", "CT11");
  host_.ReadmeFile = ReadSetting("DIALOGLIST", "CT13");
  host_.OfferLaunchFile = IsNotNo(ReadSetting("DIALOGLIST", "CT9"));
  host_.OfferReadme = IsNotNo(ReadSetting("DIALOGLIST", "CT12"));
  flags_.previewMode = ToNumber(ReadSetting("APPINFO", "PREVIEW")) == kOn ? kOn : 0;
  flags_.silentInstall = IsYes(ReadSetting("BUILDING", "2")) || flags_.unattended == kOn ? kOn : 0;
  host_.UserInfoRoot = ReadSetting("DIALOGLIST", "CT17");
  host_.UserInfoKey = ReadSetting("DIALOGLIST", "CT18");
  host_.RestartRequired = IsYes(ReadSetting("DIALOGLIST", "CT14"));
  host_.LanguageMethod = ReadSetting("APPINFO", "METHOD");
  trace_.Write("startup", "project",
               {{"product", host_.ProductName}, {"version", host_.ProductVersion}, {"code", host_.ProductCode},
                {"publisher", host_.Publisher}, {"installdir", host_.InstallDir},
                {"preview", std::to_string(flags_.previewMode)},
                {"silent", std::to_string(flags_.silentInstall)}});
}

int CMainFrame::StartWizard() {
  trace_.Write("wizard", "start");
  // The work folder holds the decrypted project: it goes on every way out, a refusal included.
  if (!MachineQualifies() || !CheckRights(*this)) {
    RemoveWorkFolder(WorkFolderRemoval::Always);
    platform_.ui.PostQuit(1);
    return -1;
  }
  // A machine that is refused sees only the message: the decorations open once it is accepted.
  OpenSplash();
  OpenBackground();
  host_.Conditions.LoadConditions(settings_);
  DetectEarlierInstallation(*this);
  // The administrator's folder wins over the project's and over an earlier installation's.
  if (!host_.CommandLineInstallDir.empty()) {
    host_.InstallDir = WithBackslash(host_.CommandLineInstallDir);
    trace_.Write("wizard", "command-line-folder", {{"installdir", host_.InstallDir}});
  }
  EnsureFlow().LoadPageList();
  flow_->LoadFileActions();
  host_.Features.LoadFeatures(settings_);
  flags_.featureCount = host_.Features.Count();
  // A failed unpacking of the payload has already asked the process to end.
  if (!flow_->ShowStartPage()) return 0;
  OpenDecorations();
  LoadUserVariables(settings_, platform_, Expander(), dialogs_, trace_, platform_.system.ProgramName(),
                    host_.UserVariables, host_.UserVariableNotes);
  // Merge modules are installed after the engine's own run, from files in the work folder.
  if (CountMergeModules(settings_) != 0) flags_.keepWorkDir = kOn;
  trace_.Write("wizard", "first-page",
               {{"installdir", host_.InstallDir}, {"splash", host_.SplashShown ? std::to_string(kOn) : "0"}});
  // With a splash the first page waits for it: the start page's timer, or without a start page
  // (a disk-image build) the frame's own.
  if (!host_.SplashShown)
    flow_->NextPage();
  else if (flags_.useDiskImages == kOn)
    flow_->WaitForSplash(false);
  return 0;
}

void CMainFrame::OpenSplash() {
  if (flags_.unattended == kOn || !CSplashWindow::Wanted(settings_)) return;
  splash_ = std::make_unique<CSplashWindow>(platform_, flags_, trace_);
  if (splash_->Open(settings_, host_.SetupDir)) host_.SplashShown = true;
}

// The background comes before the first page, so it starts out behind the pages; it is left out of
// a silent build, which shows nothing at all.
void CMainFrame::OpenBackground() {
  if (flags_.silentInstall == kOn) return;
  background_ = std::make_unique<CBackground>(platform_, trace_);
  if (!background_->Open(settings_)) background_.reset();
}

// The background's picture comes out of the payload with the start page, so it follows now.
void CMainFrame::OpenDecorations() {
  if (background_) {
    std::string picture = LastComponent(ReadSetting("BACKGROUND", "5"));
    if (!picture.empty()) background_->ShowPicture(ExpandPlaceholders("<TempFolder>\\" + host_.WorkName + "\\" + picture));
  }
  if (flags_.unattended != kOn) billboards_ = StartBillboards(platform_, trace_, settings_, host_.WorkDir);
}

ConditionTable::Expander CMainFrame::Expander() {
  return [this](const std::string& text) { return ExpandPlaceholders(text); };
}

ConditionTable::ActionRunner CMainFrame::ActionRunner() {
  return [this](const std::string& command) { RunAction(command, *this); };
}

bool CMainFrame::ConditionAllows(const std::string& name) {
  return host_.Conditions.ConditionAllows(name, Expander(), ActionRunner());
}

void CMainFrame::RunPageConditions(const std::string& pageFile) {
  host_.Conditions.RunPageConditions(pageFile, Expander(), ActionRunner());
}

void CMainFrame::Abort() {
  if (flow_)
    flow_->AbortSetup();
  else
    AbortSetup();
}

// The project's own refusal (a condition or file action), not the user's: the run failed. Like every
// other way out, it takes the work folder and the decrypted project with it.
void CMainFrame::AbortSetup() {
  host_.Ended = true;
  flags_.cancelled = kOn;
  flags_.runFailed = kOn;
  trace_.Write("wizard", "abort");
  RemoveWorkFolder(WorkFolderRemoval::Always);
}

bool CMainFrame::MachineQualifies() {
  LanguageFile language = LanguageFile::Load(platform_.files, host_.LanguageFilePath);
  return CheckRequirements(settings_, language, Expander(), platform_.system, dialogs_, trace_);
}

// The folder created at start (host_.WorkDir) is removed as it was made; a walk that never follows links
// keeps a link planted inside from taking its target with it.
void CMainFrame::RemoveWorkFolder(WorkFolderRemoval mode) {
  if (mode == WorkFolderRemoval::UnlessKept && flags_.keepWorkDir == kOn) return;
  if (host_.WorkName.empty() || !platform_.files.IsFolder(host_.WorkDir)) return;
  ClearSystemError();
  bool removed = platform_.files.RemoveTree(host_.WorkDir, LeftInUse::kStays).removed;
  trace_.WriteResult("startup", "remove-work-folder", {{"path", host_.WorkDir}}, removed);
}

PlaceholderValues CMainFrame::CurrentPlaceholderValues() const {
  PlaceholderValues v;
  v.programFilesDir = host_.ProgramFilesDir;
  v.systemDir = host_.SystemDir;
  v.windowsDir = host_.WindowsDir;
  v.commonFilesDir = host_.CommonFilesDir;
  v.windowsVolume = host_.WindowsVolume;
  v.favoritesFolder = host_.Folders.favorites;
  v.personalFolder = host_.Folders.personal;
  v.picturesFolder = host_.Folders.pictures;
  v.tempDir = host_.TempDir;
  v.sendToFolder = host_.Folders.sendTo;
  v.fontsFolder = host_.Folders.fonts;
  v.appDataFolder = host_.Folders.appData;
  v.productName = host_.ProductName;
  v.installDir = host_.InstallDir;
  v.productCode = host_.ProductCode;
  v.userName = host_.UserName;
  v.companyName = host_.CompanyName;
  v.publisher = host_.Publisher;
  v.productVersion = host_.ProductVersion;
  return v;
}

InstallPlaceholderCopy CMainFrame::PlaceholderCopy() const {
  return InstallPlaceholderCopy{CurrentPlaceholderValues(), host_.UserVariables, host_.DefaultInstallDir};
}

std::string CMainFrame::ExpandPlaceholders(const std::string& text) const {
  return ExpandPlaceholderText(text, CurrentPlaceholderValues(), host_.UserVariables, Expansion::Wizard);
}

}  // namespace tw
