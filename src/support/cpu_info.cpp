#include "support/cpu_info.h"

#include <algorithm>

#include "platform/system_info.h"

namespace tw {
namespace {

constexpr char kIntel[] = "GenuineIntel";
constexpr char kAmd[] = "AuthenticAMD";
constexpr uint16_t kExtendedFamilyMarker = 15;  // only this family carries the extended fields
constexpr uint16_t kExtendedModelMarker = 15;
constexpr uint16_t kAnyLow = 0, kAnyHigh = 0xFFFF;

// One name for a vendor's family and a range of models. Family 15 processors are told apart by
// their extended family and extended model instead, so for them the range applies to the extended
// model and extendedFamily must match too. The first matching row wins, so a catch-all for a family
// follows that family's specific rows.
struct NameRow {
  const char* vendor;
  uint16_t family;
  uint16_t extendedFamily;
  uint16_t low, high;
  const char* name;
};

constexpr NameRow kNames[] = {
    {kIntel, 4, 0, 0, 0, "INTEL 486 DX-25/33"},
    {kIntel, 4, 0, 1, 1, "INTEL 486 DX-50"},
    {kIntel, 4, 0, 2, 2, "INTEL 486 SX"},
    {kIntel, 4, 0, 3, 3, "INTEL 486 DX2"},
    {kIntel, 4, 0, 4, 4, "INTEL 486 SL"},
    {kIntel, 4, 0, 5, 5, "INTEL 486 SX2"},
    {kIntel, 4, 0, 7, 7, "INTEL 486 DX2-WB"},
    {kIntel, 4, 0, 8, 8, "INTEL 486 DX4"},
    {kIntel, 4, 0, 9, 9, "INTEL 486 DX4-WB"},
    {kIntel, 5, 0, 0, 0, "INTEL Pentium 60/66 A-step"},
    {kIntel, 5, 0, 1, 1, "INTEL Pentium 60/66"},
    {kIntel, 5, 0, 2, 2, "INTEL Pentium 75-200"},
    {kIntel, 5, 0, 3, 3, "INTEL OverDrive PODP5V83"},
    {kIntel, 5, 0, 4, 4, "INTEL Pentium MMX"},
    {kIntel, 5, 0, 7, 7, "INTEL Mobile Pentium 75-200"},
    {kIntel, 5, 0, 8, 8, "INTEL Mobile Pentium MMX"},
    {kIntel, 6, 0, 1, 1, "INTEL Pentium Pro A-Step"},
    {kIntel, 6, 0, 2, 2, "INTEL Pentium Pro"},
    {kIntel, 6, 0, 3, 3, "INTEL Pentium II Klamath"},
    {kIntel, 6, 0, 5, 5, "INTEL Pentium II Deschutes"},
    {kIntel, 6, 0, 6, 6, "INTEL Celeron Mendocino"},
    {kIntel, 6, 0, 7, 7, "INTEL Pentium III Katmai"},
    {kIntel, 6, 0, 8, 8, "INTEL Pentium III Coppermine"},
    {kIntel, 6, 0, 9, 9, "INTEL Mobile Pentium III"},
    {kIntel, 6, 0, 10, 10, "INTEL Pentium III (0.18um)"},
    {kIntel, 6, 0, 11, 11, "INTEL Pentium III (0.13um)"},
    {kIntel, 6, 0, kAnyLow, kAnyHigh, "INTEL Itanium"},
    {kIntel, 7, 0, kAnyLow, kAnyHigh, "INTEL Itanium"},
    {kIntel, 15, 0, 0, 1, "INTEL Pentium IV (0.18 \xB5m)"},
    {kIntel, 15, 0, 2, 2, "INTEL Pentium IV (0.13 \xB5m)"},
    {kIntel, 15, 0, 3, 3, "INTEL Pentium IV (0.09 \xB5m)"},
    {kIntel, 15, 1, kAnyLow, kAnyHigh, "INTEL Itanium 2 (IA-64)"},
    {kAmd, 4, 0, 3, 3, "AMD 486 DX2"},
    {kAmd, 4, 0, 7, 7, "AMD 486 DX2-WB"},
    {kAmd, 4, 0, 8, 8, "AMD 486 DX4"},
    {kAmd, 4, 0, 9, 9, "AMD 486 DX4-WB"},
    {kAmd, 4, 0, 14, 14, "AMD Am5x86-WT"},
    {kAmd, 4, 0, 15, 15, "AMD Am5x86-WB"},
    {kAmd, 5, 0, 0, 0, "AMD K5 SSA5"},
    {kAmd, 5, 0, 1, 3, "AMD K5"},
    {kAmd, 5, 0, 6, 7, "AMD K6"},
    {kAmd, 5, 0, 8, 8, "AMD K6-2"},
    {kAmd, 5, 0, 9, 9, "AMD K6-3"},
    {kAmd, 5, 0, 13, 13, "AMD K6-3+"},
    {kAmd, 6, 0, 0, 1, "AMD Athlon (25um)"},
    {kAmd, 6, 0, 2, 2, "AMD Athlon (18um)"},
    {kAmd, 6, 0, 3, 3, "AMD Duron"},
    {kAmd, 6, 0, 4, 4, "AMD Athlon Thunderbird"},
    {kAmd, 6, 0, 6, 6, "AMD Athlon Palamino"},
    {kAmd, 6, 0, 7, 7, "AMD Duron Morgan"},
    {kAmd, 6, 0, 8, 8, "AMD Athlon Thoroughbred"},
    {kAmd, 6, 0, 10, 10, "AMD Athlon Barton"},
    {kAmd, 15, 0, 4, 4, "AMD Athlon 64"},
    {kAmd, 15, 0, 5, 5, "AMD Athlon 64FX Operon"},
};

// Vendors named as a whole, whatever the family.
struct VendorRow {
  const char* vendor;
  const char* name;
};

constexpr VendorRow kVendorNames[] = {
    {"CyrixInstead", "Cyrix"},
    {"CentaurHauls", "Centaur"},
};

constexpr char kUnknown[] = "unknown";

uint16_t Bits(uint32_t value, int low, int count) {
  return static_cast<uint16_t>((value >> low) & ((1u << count) - 1));
}

// The vendor text is the 12 bytes of EBX, EDX and ECX, each register's low byte first; like the
// C string it is on Windows, it ends at the first zero byte.
std::string VendorText(const CpuRegisters& leaf0) {
  char bytes[12];
  const uint32_t parts[3] = {leaf0.ebx, leaf0.edx, leaf0.ecx};
  for (int i = 0; i < 12; ++i) bytes[i] = static_cast<char>(parts[i / 4] >> (8 * (i % 4)));
  return std::string(bytes, std::find(bytes, bytes + sizeof bytes, '\0'));
}

bool RowMatches(const NameRow& row, const std::string& vendor, uint16_t family, uint16_t model,
                uint16_t extendedFamily, uint16_t extendedModel) {
  if (vendor != row.vendor || family != row.family) return false;
  if (family == kExtendedFamilyMarker) {
    return extendedFamily == row.extendedFamily && extendedModel >= row.low && extendedModel <= row.high;
  }
  return model >= row.low && model <= row.high;
}

}  // namespace

bool CCpuInfo::Identify(const SystemInfo& system) {
  std::optional<CpuRegisters> leaf0 = system.CpuId(0);
  if (!leaf0) return false;
  vendor_ = VendorText(*leaf0);

  uint32_t signature = system.CpuId(1).value_or(CpuRegisters{}).eax;
  family_ = Bits(signature, 8, 4);
  model_ = Bits(signature, 4, 4);
  stepping_ = Bits(signature, 0, 4);
  extendedFamily_ = family_ == kExtendedFamilyMarker ? Bits(signature, 20, 8) : 0;
  extendedModel_ = model_ == kExtendedModelMarker ? Bits(signature, 16, 4) : 0;
  return true;
}

std::string CCpuInfo::Name() const {
  for (const VendorRow& row : kVendorNames) {
    if (vendor_ == row.vendor) return row.name;
  }
  for (const NameRow& row : kNames) {
    if (RowMatches(row, vendor_, family_, model_, extendedFamily_, extendedModel_)) return row.name;
  }
  return kUnknown;
}

}  // namespace tw
