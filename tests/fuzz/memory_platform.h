// The fake platform with its files in memory, for harnesses that must not touch the disk: a run of
// hundreds of thousands of inputs then costs no file-system calls, and none leave anything behind.
#pragma once
#include <memory>

#include "platform/fake/fake_http.h"
#include "platform/fake/fake_pictures.h"
#include "platform/fake/fake_profile_files.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_services.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system_info.h"
#include "platform/fake/fake_ui.h"
#include "platform/fake/memory_file_system.h"
#include "platform/platform.h"

namespace tw {

// No decompressor: the readers fuzzed here never open a cabinet.
class NoCabinets : public Cabinets {
 public:
  std::unique_ptr<CabinetContext> CreateContext() override { return nullptr; }
};

struct MemoryPlatform {
  MemoryFileSystem files;
  FakeProfileFiles profiles{files};
  FakeRegistry registry;
  FakeSystemInfo system;
  FakeUi ui;
  FakeShell shell{files};
  FakeHttp http;
  FakePictures pictures;
  NoCabinets cabinets;
  FakeServices services;
  Platform platform{files, profiles, registry, system, ui, shell, http, pictures, cabinets, services};

  MemoryPlatform() {
    files.MakeFolders(system.windowsFolder);
    files.MakeFolders(system.systemFolder);
    files.MakeFolders(system.tempFolder);
  }
  // What the fake UI keeps of each run; a long run must not pile it up.
  void ForgetShown() {
    ui.shown.clear();
    ui.dialogs.clear();
    ui.decorations.clear();
    ui.uiThreads.clear();
  }
};

}  // namespace tw
