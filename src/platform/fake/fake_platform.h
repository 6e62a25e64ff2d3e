// One of each fake service, wired together as a Platform for a test.
#pragma once
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
  FakeProfileFiles profiles{files};
  FakeRegistry registry;
  FakeSystemInfo system;
  FakeUi ui;
  FakeShell shell{files};
  FakeHttp http;
  FakePictures pictures;
  MspackCabinets cabinets{files};
  FakeServices services;
  Platform platform{files, profiles, registry, system, ui, shell, http, pictures, cabinets, services};

  // The machine's own folders exist from the start, as on a real system.
  FakePlatform() {
    files.MakeFolders(system.windowsFolder);
    files.MakeFolders(system.systemFolder);
    files.MakeFolders(system.tempFolder);
    for (const auto& [csidl, folder] : system.specialFolders) files.MakeFolders(folder);
  }
};

}  // namespace tw
