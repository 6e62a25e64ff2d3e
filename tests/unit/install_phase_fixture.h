// A ready InstallSession over fakes for the install-phase tests: a progress page that records what
// it was told, a silent trace, and fakes that also record attributes and binary registry data.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "platform/fake/fake_platform.h"
#include "support/fixed_dialogs.h"

namespace tw {

class RecordingProgress : public InstallProgress {
 public:
  void SetStatusText(const std::string& text) override {
    statuses.push_back(text);
    if (onStatus) onStatus(text);
  }
  void SetProgressRange(int maximum) override { range = maximum; }
  void SetProgressPos(int position) override { positions.push_back(position); }
  void ShowDownloadProgress(bool visible, int) override { downloadBar.push_back(visible); }
  void SetDownloadStatus(int percent, const std::string& timeLeft, const std::string& rate) override {
    downloadStatuses.push_back(std::to_string(percent) + "," + timeLeft + "," + rate);
  }

  std::vector<std::string> statuses;
  std::function<void(const std::string&)> onStatus;  // a test's hook, as a status shows
  std::vector<int> positions;
  std::vector<bool> downloadBar;
  std::vector<std::string> downloadStatuses;  // "percent,time left,rate"
  int range = -1;
};

// The fake file system does not model hidden and system; these tests need to see them asked for.
// A test may also have the creation of a file throw, as a system out of memory would.
class AttributeRecordingFiles : public FakeFileSystem {
 public:
  std::unique_ptr<StampedFile> CreateStamped(const std::string& path, const FileStamp& stamp) override {
    if (throwOnCreate && throwOnCreate(path)) throw std::bad_alloc();
    return FakeFileSystem::CreateStamped(path, stamp);
  }
  std::function<bool(const std::string&)> throwOnCreate;
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    attributeCalls.emplace_back(path, attributes);
    return FakeFileSystem::SetAttributes(path, attributes);
  }
  std::vector<std::pair<std::string, uint32_t>> attributeCalls;
};

// The fake registry cannot read binary data back; this keeps the last bytes written per value.
class BinaryRecordingRegistry : public FakeRegistry {
 public:
  bool WriteBinary(RegRoot root, const std::string& key, const std::string& name, const std::string& bytes) override {
    bool written = FakeRegistry::WriteBinary(root, key, name, bytes);
    if (written) binaries[key + "|" + name] = bytes;
    return written;
  }
  std::map<std::string, std::string> binaries;
};

class InstallPhaseTest : public ::testing::Test {
 protected:
  InstallPhaseTest() {
    files.MakeFolders(system.windowsFolder);
    files.MakeFolders(system.systemFolder);
    files.MakeFolders(system.tempFolder);
    session.placeholders.values.installDir = "C:\\Program Files\\Acme\\";
    session.placeholders.values.productName = "Acme";
    session.placeholders.values.windowsDir = "C:\\windows\\";
    session.host.WorkDir = system.tempFolder + "tw1\\";
    session.PayloadDir = session.host.WorkDir;
    session.host.DataInfPath = session.host.WorkDir + "data.inf";
    session.LogDir = "C:\\windows\\Installer\\{P}\\";
    session.LogPath = session.LogDir + "uninstall.log";
    session.host.OsTag = "XP";
    session.RemoveWorkFolder = [this] { ++workFolderRemovals; };
    files.MakeFolders(session.host.WorkDir);
  }

  void UseSettings(const std::string& text) { settings = ProjectSettings(text); }
  std::string Log() { return files.ReadAll(session.LogPath).value_or(""); }

  AttributeRecordingFiles files;
  FaultyFileSystem faults{files};  // what the engine sees of files: a test fails chosen calls here
  FakeProfileFiles profiles{faults};
  BinaryRecordingRegistry registry;
  FaultyRegistry registryFaults{registry};
  FakeSystemInfo system;
  FakeUi ui;
  FakeShell shell{faults};
  FakeHttp http;
  FakePictures pictures;
  MspackCabinets cabinets{files};
  FakeServices services;
  Platform platform{faults, profiles, registryFaults, system, ui, shell, http, pictures, cabinets, services};

  HostFlags flags;
  Trace trace;
  std::string languageFile = "C:\\language.lan";
  FixedDialogs dialogs{ui, files, trace, languageFile, [](const std::string& text) { return text; }};
  ProjectSettings settings;
  RecordingProgress progress;
  InstallSession session{platform, flags, trace, dialogs, settings, progress};
  int workFolderRemovals = 0;
};

}  // namespace tw
