// One of each fake service, wired together as a Platform for a test. The file system and the
// registry reach the platform through fault-injecting wrappers, so any test can fail chosen calls.
#pragma once
#include "platform/fault/faulty_file_system.h"
#include "platform/fault/faulty_registry.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_http.h"
#include "platform/fake/fake_pictures.h"
#include "platform/fake/fake_profile_files.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_services.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system_info.h"
#include "platform/fake/fake_ui.h"
#include "platform/fake/mspack_cabinets.h"
#include "platform/platform.h"

namespace tw {

struct FakePlatform {
  FakeFileSystem files;
  // What the engine sees of files: a test fails chosen calls here (faults.FailWhen(...)).
  FaultyFileSystem faults{files};
  FakeProfileFiles profiles{faults};
  FakeRegistry registry;
  // What the engine sees of the registry: registryFaults.FailWhen(...) fails chosen calls.
  FaultyRegistry registryFaults{registry};
  FakeSystemInfo system;
  FakeUi ui;
  FakeShell shell{faults};
  FakeHttp http;
  FakePictures pictures;
  MspackCabinets cabinets{files};
  FakeServices services;
  Platform platform{faults, profiles, registryFaults, system, ui, shell, http, pictures, cabinets, services};

  // The machine's own folders exist from the start, as on a real system.
  FakePlatform() {
    files.MakeFolders(system.windowsFolder);
    files.MakeFolders(system.systemFolder);
    files.MakeFolders(system.tempFolder);
    for (const auto& [csidl, folder] : system.specialFolders) files.MakeFolders(folder);
  }
};

}  // namespace tw
