// The platform aggregate: one of each service, built once (by WinMain or by a test) and passed in.
#pragma once
#include "platform/cabinet.h"
#include "platform/file_system.h"
#include "platform/http.h"
#include "platform/pictures.h"
#include "platform/profile_files.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/ui.h"

namespace tw {

struct Platform {
  FileSystem& files;
  ProfileFiles& profiles;
  Registry& registry;
  SystemInfo& system;
  Ui& ui;
  Shell& shell;
  Http& http;
  Pictures& pictures;
  Cabinets& cabinets;
  Services& services;
};

}  // namespace tw
