// Processor identification: the vendor and signature the identification instruction reports, and
// the processor name the requirement check matches an author's text against.
#pragma once
#include <cstdint>
#include <string>

namespace tw {

class SystemInfo;

class CCpuInfo {
 public:
  // Fills the record from the processor; false when the identification instruction is unavailable.
  bool Identify(const SystemInfo& system);
  // The processor's name from the engine's table; "unknown" for anything the table lacks.
  std::string Name() const;

  const std::string& Vendor() const { return vendor_; }
  uint16_t Family() const { return family_; }
  uint16_t Model() const { return model_; }
  uint16_t Stepping() const { return stepping_; }
  uint16_t ExtendedFamily() const { return extendedFamily_; }
  uint16_t ExtendedModel() const { return extendedModel_; }

 private:
  std::string vendor_;
  uint16_t family_ = 0, model_ = 0, stepping_ = 0, extendedFamily_ = 0, extendedModel_ = 0;
};

}  // namespace tw
