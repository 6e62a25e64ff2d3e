// The host values: the machine's folders, the project's product values and the wizard's choices.
// The main frame owns them; an installation run takes a copy of the whole when it starts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "project/conditions.h"
#include "project/features.h"
#include "project/placeholders.h"
#include "project/special_folders.h"

namespace tw {

class Trace;

// Whom the installation is for: as the project says, or as the administrator asks.
enum class InstallScope { kProject, kCurrentUser, kAllUsers };

// The setup type page's choice; the numbers are the choice's position on the page.
enum class SetupType { kNone = -1, kTypical = 0, kMinimal = 1, kCustom = 2 };

// A single-file build's payload cabinet, read in place inside the program's file; an empty path:
// file1.cab beside setup.
struct PayloadWindow {
  std::string path;
  uint64_t offset = 0, size = 0;
  uint64_t headSize = 0;  // the start already checked, all the start page may read; 0: none
};

struct HostValues {
  explicit HostValues(Trace& trace) : Conditions(trace) {}

  // --- the machine and the work folder, resolved at start ---
  std::string SetupDir, WindowsDir, WindowsVolume, TempDir, SystemDir, LanguageFilePath, ThemeDir;
  std::string WorkName, WorkDir, SetupInfPath, DataInfPath;
  PayloadWindow PayloadCabinet;  // a single-file build's cabinet inside the program's file
  SpecialFolders Folders;        // where shortcuts go: Programs menu, desktop, startup, ...
  std::string ProgramFilesDir, CommonFilesDir;
  bool NoProgramFilesDir = false;  // not an administrator, or the system names no Program Files
  std::string LoginName, UserName;
  std::string CurrentBuild;
  std::string OsTag;

  // --- the administrator's command line ---
  std::string CommandLineInstallDir;  // /D=: replaces the project's (and an earlier) install folder
  InstallScope CommandLineScope = InstallScope::kProject;  // /CURRENTUSER or /ALLUSERS
  bool CommandLineNoRestart = false;                       // /NORESTART

  // --- the project's values ---
  std::string ProductName, ProductVersion, ProductCode, Publisher, CompanyName;
  std::string InstallDir, DefaultInstallDir;
  bool PerUser = false;  // installed for the current user alone
  std::string LanguageName, LanguageMethod;
  bool RestartRequired = false, OfferLaunchFile = false, OfferReadme = false;
  // As the project writes them; Finish expands them, so they follow the folder the user chose.
  std::string LaunchFile, LaunchParameters, ReadmeFile;
  std::string UserInfoRoot, UserInfoKey;
  std::vector<UserVariable> UserVariables;
  std::vector<std::string> UserVariableNotes;
  ConditionTable Conditions;
  FeatureTable Features;  // the user's feature choices

  // --- the run so far ---
  bool SplashShown = false;
  bool Ended = false;  // the project aborted the setup
  SetupType SetupTypeChoice = SetupType::kNone;
  bool LaunchChosen = false, ReadmeChosen = false;
  std::vector<std::string> FoldersMadeByWizard;  // made in the folder dialog, top level first
  bool RestartStarted = false;  // the finish asked the system to restart, and it agreed
};

}  // namespace tw
