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

// Each service says which threads may call it:
//   any thread        several threads may call at once (both implementations are safe so);
//   one at a time     any thread may call, but two calls never overlap: the engine calls these from
//                     its install worker while the UI thread only pumps messages;
//   UI thread         only the thread that runs the message loop (a worker hands work over with
//                     Ui::CallOnUiThread).
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
