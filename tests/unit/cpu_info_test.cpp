// Processor identification: decoding the signature and naming the processor by vendor and family.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/fake_system_info.h"
#include "support/cpu_info.h"

namespace tw {
namespace {

uint32_t Signature(uint32_t family, uint32_t model, uint32_t stepping = 0, uint32_t extFamily = 0,
                   uint32_t extModel = 0) {
  return extFamily << 20 | extModel << 16 | family << 8 | model << 4 | stepping;
}

// A processor that answers leaf 0 with vendor and leaf 1 with signature.
FakeSystemInfo Processor(const char* vendor, uint32_t signature) {
  FakeSystemInfo system;
  CpuRegisters leaf0;
  std::memcpy(&leaf0.ebx, vendor, 4);
  std::memcpy(&leaf0.edx, vendor + 4, 4);
  std::memcpy(&leaf0.ecx, vendor + 8, 4);
  system.cpuLeaves[0] = leaf0;
  system.cpuLeaves[1] = CpuRegisters{signature, 0, 0, 0};
  return system;
}

std::string NameOf(const char* vendor, uint32_t signature) {
  CCpuInfo cpu;
  EXPECT_TRUE(cpu.Identify(Processor(vendor, signature)));
  return cpu.Name();
}

TEST(CpuInfoIdentify, DecodesVendorAndSignature) {
  CCpuInfo cpu;
  ASSERT_TRUE(cpu.Identify(Processor("GenuineIntel", Signature(15, 15, 9, 0x12, 3))));
  EXPECT_EQ(cpu.Vendor(), "GenuineIntel");
  EXPECT_EQ(cpu.Family(), 15);
  EXPECT_EQ(cpu.Model(), 15);
  EXPECT_EQ(cpu.Stepping(), 9);
  EXPECT_EQ(cpu.ExtendedFamily(), 0x12);
  EXPECT_EQ(cpu.ExtendedModel(), 3);
}

TEST(CpuInfoIdentify, ExtendedFieldsCountOnlyForFamilyAndModel15) {
  CCpuInfo cpu;
  ASSERT_TRUE(cpu.Identify(Processor("GenuineIntel", Signature(6, 10, 7, 0x0F, 2))));
  EXPECT_EQ(cpu.ExtendedFamily(), 0);
  EXPECT_EQ(cpu.ExtendedModel(), 0);
  EXPECT_EQ(cpu.Name(), "INTEL Pentium III (0.18um)");
  ASSERT_TRUE(cpu.Identify(Processor("GenuineIntel", Signature(15, 2, 0, 0, 3))));
  EXPECT_EQ(cpu.ExtendedModel(), 0) << "model 2 is not 15, so its extended model is ignored";
  EXPECT_EQ(cpu.Name(), "INTEL Pentium IV (0.18 \xB5m)");
}

TEST(CpuInfoIdentify, UnavailableInstructionAndMissingLeaf) {
  CCpuInfo cpu;
  FakeSystemInfo noInstruction;
  noInstruction.cpuLeaves.clear();
  EXPECT_FALSE(cpu.Identify(noInstruction));
  FakeSystemInfo leafZeroOnly = Processor("GenuineIntel", 0);
  leafZeroOnly.cpuLeaves.erase(1);
  ASSERT_TRUE(cpu.Identify(leafZeroOnly));
  EXPECT_EQ(cpu.Name(), "unknown");
}

TEST(CpuInfoName, IntelFamilies) {
  EXPECT_EQ(NameOf("GenuineIntel", Signature(4, 0)), "INTEL 486 DX-25/33");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(4, 9)), "INTEL 486 DX4-WB");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(4, 6)), "unknown");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(5, 4)), "INTEL Pentium MMX");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(5, 5)), "unknown");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(6, 6)), "INTEL Celeron Mendocino");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(6, 7)), "INTEL Pentium III Katmai");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(6, 11)), "INTEL Pentium III (0.13um)");
  for (uint32_t model : {0u, 4u, 12u, 13u, 15u}) {
    EXPECT_EQ(NameOf("GenuineIntel", Signature(6, model)), "INTEL Itanium") << "family 6 model " << model;
  }
  EXPECT_EQ(NameOf("GenuineIntel", Signature(7, 3)), "INTEL Itanium");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(3, 0)), "unknown");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(8, 1)), "unknown");
}

TEST(CpuInfoName, IntelFamily15ByExtendedValues) {
  EXPECT_EQ(NameOf("GenuineIntel", Signature(15, 15, 0, 0, 1)), "INTEL Pentium IV (0.18 \xB5m)");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(15, 15, 0, 0, 2)), "INTEL Pentium IV (0.13 \xB5m)");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(15, 15, 0, 0, 3)), "INTEL Pentium IV (0.09 \xB5m)");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(15, 15, 0, 0, 4)), "unknown");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(15, 15, 0, 1, 9)), "INTEL Itanium 2 (IA-64)");
  EXPECT_EQ(NameOf("GenuineIntel", Signature(15, 0, 0, 2, 0)), "unknown");
  EXPECT_EQ(std::string("INTEL Pentium IV (0.18 \xB5m)").size(), 26u) << "the micro sign is one byte";
}

TEST(CpuInfoName, AmdFamilies) {
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(4, 14)), "AMD Am5x86-WT");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(4, 0)), "unknown");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(5, 0)), "AMD K5 SSA5");
  for (uint32_t model : {1u, 2u, 3u}) EXPECT_EQ(NameOf("AuthenticAMD", Signature(5, model)), "AMD K5");
  for (uint32_t model : {6u, 7u}) EXPECT_EQ(NameOf("AuthenticAMD", Signature(5, model)), "AMD K6");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(5, 13)), "AMD K6-3+");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(6, 1)), "AMD Athlon (25um)");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(6, 5)), "unknown");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(6, 10)), "AMD Athlon Barton");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(7, 0)), "unknown") << "the Itanium rows are Intel's";
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(15, 15, 0, 0, 4)), "AMD Athlon 64");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(15, 15, 0, 0, 5)), "AMD Athlon 64FX Operon");
  EXPECT_EQ(NameOf("AuthenticAMD", Signature(15, 4)), "unknown");
}

TEST(CpuInfoName, OtherVendorsAreExactTexts) {
  EXPECT_EQ(NameOf("CyrixInstead", Signature(5, 2)), "Cyrix");
  EXPECT_EQ(NameOf("CentaurHauls", Signature(6, 9)), "Centaur");
  EXPECT_EQ(NameOf("genuineintel", Signature(6, 7)), "unknown");
  EXPECT_EQ(NameOf("HygonGenuine", Signature(15, 15, 0, 0, 4)), "unknown");
}

}  // namespace
}  // namespace tw
