// Processor identification: decoding the signature and naming the processor by vendor and family.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/fake_system_info.h"
#include "support/cpu_info.h"

namespace tw {
namespace {

uint32_t Signature(uint32_t family, uint32_t model, uint32_t extFamily = 0, uint32_t extModel = 0) {
  return extFamily << 20 | extModel << 16 | family << 8 | model << 4 | 9;
}

// A processor that answers leaf 0 with vendor and leaf 1 with signature.
FakeSystemInfo Processor(const char* vendor, uint32_t signature) {
  FakeSystemInfo system;
  CpuRegisters leaf0;
  std::memcpy(&leaf0.ebx, vendor, 4);
  std::memcpy(&leaf0.edx, vendor + 4, 4);
  std::memcpy(&leaf0.ecx, vendor + 8, 4);
  system.cpuLeaves = {{0, leaf0}, {1, CpuRegisters{signature, 0, 0, 0}}};
  return system;
}

TEST(CpuInfoIdentify, DecodesVendorAndSignature) {
  CCpuInfo cpu;
  ASSERT_TRUE(cpu.Identify(Processor("GenuineIntel", Signature(15, 15, 0x12, 3))));
  EXPECT_EQ(cpu.Vendor(), "GenuineIntel");
  EXPECT_EQ(cpu.Family(), 15);
  EXPECT_EQ(cpu.Model(), 15);
  EXPECT_EQ(cpu.Stepping(), 9);
  EXPECT_EQ(cpu.ExtendedFamily(), 0x12);
  EXPECT_EQ(cpu.ExtendedModel(), 3);
  // The extended fields count only for family 15 and model 15 respectively.
  ASSERT_TRUE(cpu.Identify(Processor("GenuineIntel", Signature(6, 10, 0x0F, 2))));
  EXPECT_EQ(cpu.ExtendedFamily(), 0);
  EXPECT_EQ(cpu.ExtendedModel(), 0);
}

TEST(CpuInfoIdentify, UnavailableInstructionAndMissingLeaf) {
  CCpuInfo cpu;
  FakeSystemInfo system;
  system.cpuLeaves.clear();
  EXPECT_FALSE(cpu.Identify(system));
  system = Processor("GenuineIntel", 0);
  system.cpuLeaves.erase(1);
  ASSERT_TRUE(cpu.Identify(system));
  EXPECT_EQ(cpu.Name(), "unknown");
}

TEST(CpuInfoName, ByVendorFamilyAndModel) {
  struct Case {
    const char* vendor;
    uint32_t signature;
    const char* name;
  };
  const Case cases[] = {
      {"GenuineIntel", Signature(4, 0), "INTEL 486 DX-25/33"},
      {"GenuineIntel", Signature(4, 6), "unknown"},
      {"GenuineIntel", Signature(5, 8), "INTEL Mobile Pentium MMX"},
      {"GenuineIntel", Signature(6, 6), "INTEL Celeron Mendocino"},
      {"GenuineIntel", Signature(6, 10, 0, 2), "INTEL Pentium III (0.18um)"},
      {"GenuineIntel", Signature(6, 11), "INTEL Pentium III (0.13um)"},
      {"GenuineIntel", Signature(6, 0), "INTEL Itanium"},
      {"GenuineIntel", Signature(6, 4), "INTEL Itanium"},
      {"GenuineIntel", Signature(6, 13), "INTEL Itanium"},
      {"GenuineIntel", Signature(7, 3), "INTEL Itanium"},
      {"GenuineIntel", Signature(3, 0), "unknown"},
      {"GenuineIntel", Signature(15, 15, 0, 1), "INTEL Pentium IV (0.18 \xB5m)"},
      {"GenuineIntel", Signature(15, 15, 0, 2), "INTEL Pentium IV (0.13 \xB5m)"},
      {"GenuineIntel", Signature(15, 15, 0, 3), "INTEL Pentium IV (0.09 \xB5m)"},
      {"GenuineIntel", Signature(15, 2, 0, 3), "INTEL Pentium IV (0.18 \xB5m)"},  // extended model unread
      {"GenuineIntel", Signature(15, 15, 0, 4), "unknown"},
      {"GenuineIntel", Signature(15, 15, 1, 9), "INTEL Itanium 2 (IA-64)"},
      {"GenuineIntel", Signature(15, 0, 2), "unknown"},
      {"AuthenticAMD", Signature(4, 15), "AMD Am5x86-WB"},
      {"AuthenticAMD", Signature(5, 3), "AMD K5"},
      {"AuthenticAMD", Signature(5, 7), "AMD K6"},
      {"AuthenticAMD", Signature(6, 1), "AMD Athlon (25um)"},
      {"AuthenticAMD", Signature(6, 5), "unknown"},
      {"AuthenticAMD", Signature(7, 0), "unknown"},  // the catch-all rows are Intel's
      {"AuthenticAMD", Signature(15, 15, 0, 5), "AMD Athlon 64FX Operon"},
      {"AuthenticAMD", Signature(15, 4), "unknown"},
      {"CyrixInstead", Signature(5, 2), "Cyrix"},
      {"CentaurHauls", Signature(6, 9), "Centaur"},
      {"genuineintel", Signature(6, 7), "unknown"},
  };
  for (const Case& c : cases) {
    CCpuInfo cpu;
    ASSERT_TRUE(cpu.Identify(Processor(c.vendor, c.signature)));
    EXPECT_EQ(cpu.Name(), c.name) << c.vendor << " signature " << std::hex << c.signature;
  }
}

}  // namespace
}  // namespace tw
