// The host's cabinet service: libmspack decompressing cabinets that live in the fake file system,
// with the notifications FDI gives, and switches that make the context fail for tests.
#pragma once
#include "platform/cabinet.h"
#include "platform/fake/fake_file_system.h"

namespace tw {

class MspackCabinets : public Cabinets {
 public:
  explicit MspackCabinets(FakeFileSystem& files) : files_(files) {}
  std::unique_ptr<CabinetContext> CreateContext() override;

  // --- test controls ---
  bool contextsCreate = true;   // false: CreateContext finds no decompressor
  bool contextsRelease = true;  // false: Release reports a failure

 private:
  FakeFileSystem& files_;
};

}  // namespace tw
