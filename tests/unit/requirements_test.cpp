// The machine check: each requirement, its skip values, the OS table, the order of the checks and
// the message shown for the first failure.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "project/language_file.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/fake/fake_platform.h"
#include "support/fixed_dialogs.h"
#include "support/requirements.h"

namespace tw {
namespace {

constexpr char kLanguagePath[] = "C:\\language.lan";
constexpr char kLogPath[] = "C:\\trace.log";

class RequirementsTest : public ::testing::Test {
 protected:
  // Every requirement starts at its "no check" value; the fake machine is XP with a Pentium III.
  std::map<std::string, std::string> system = {
      {"1", "All Processors"}, {"2", "Any"}, {"3", "Any resolution"}, {"4", "Any colors"}};

  void AllowOs(std::initializer_list<int> bits) {
    for (int bit : bits) system["os" + std::to_string(bit)] = "Yes";
  }
  bool Check() {
    fake.ui.dialogs.clear();
    std::string text = "[SYSTEM]\r\n";
    for (const auto& [key, value] : system) text += key + "=" + value + "\r\n";
    LanguageFile language = LanguageFile::Load(fake.files, kLanguagePath);
    return CheckRequirements(ProjectSettings(text), language, expand, fake.system, dialogs, trace);
  }
  // The text of the one error box the last check showed; empty when it showed none.
  std::string Shown() {
    EXPECT_LE(fake.ui.dialogs.size(), 1u);
    return fake.ui.dialogs.empty() ? "" : fake.ui.dialogs.back().text.value_or("");
  }

  FakePlatform fake;
  std::string languagePath = kLanguagePath;
  Trace trace = [this] {
    fake.system.environment["TARNWICK_LOG"] = kLogPath;
    return Trace(fake.files, fake.system);
  }();
  FixedDialogs::Expander expand = [](const std::string& text) {
    PlaceholderValues values;
    values.productName = "Acme";
    return ExpandPlaceholderText(text, values, {}, Expansion::Wizard);
  };
  FixedDialogs dialogs{fake.ui, fake.files, trace, languagePath, expand};
};

class RequirementsOnAnyOsTest : public RequirementsTest {
 protected:
  RequirementsOnAnyOsTest() { AllowOs({0, 1, 2, 3, 4, 5, 6}); }
};

TEST_F(RequirementsOnAnyOsTest, SkipValuesPassOnAnyMachine) {
  fake.system.version = {10, 0, 19045, kPlatformNt};
  fake.system.physicalMemory = 1;
  fake.system.screenWidth = fake.system.screenHeight = fake.system.bitsPerPixel = 1;
  fake.system.cpuLeaves[0] = {};  // no vendor we know
  EXPECT_TRUE(Check());
  system["3"] = "checkSCREEN";
  EXPECT_TRUE(Check());
  EXPECT_TRUE(fake.ui.dialogs.empty());
}

TEST_F(RequirementsTest, OsMaskOfNoneAlwaysFails) {
  EXPECT_FALSE(Check());
  EXPECT_EQ(Shown(), "The operating system is not adequate for running Acme.");
  system["os5"] = "yes";  // only exactly "Yes" allows
  EXPECT_FALSE(Check());
}

TEST_F(RequirementsTest, EachOsRowAllowsOnlyItsOwnSystems) {
  struct Machine {
    OsVersion version;
    std::set<int> bits;
  };
  const Machine machines[] = {
      {{4, 10, 0x040A07CE, 1}, {0}},  // 98, build 1998 below the version in the high word
      {{4, 10, 2183, 1}, {0, 1}},     // the build 98 and 98 SE share
      {{4, 10, 0x040A08AE, 1}, {1}},  // 98 SE, build 2222
      {{4, 90, 3000, 1}, {2}},        {{4, 0, 1381, kPlatformNt}, {3}},
      {{5, 0, 2195, kPlatformNt}, {4}}, {{5, 1, 2600, kPlatformNt}, {5}},
      {{5, 1, 2600, 1}, {}},  // XP and 2003 need the NT platform
      {{5, 2, 3790, kPlatformNt}, {6}}, {{6, 0, 6000, kPlatformNt}, {7}},
      {{6, 1, 7601, kPlatformNt}, {8}}, {{6, 2, 9200, kPlatformNt}, {9}},
      {{6, 3, 9600, kPlatformNt}, {10}}, {{10, 0, 21999, kPlatformNt}, {11}},
      {{10, 0, 22000, kPlatformNt}, {12}}, {{10, 0, 22631, kPlatformNt}, {12}},
      {{6, 1, 7601, 1}, {}}, {{6, 4, 9841, kPlatformNt}, {}},
  };
  for (const Machine& machine : machines) {
    fake.system.version = machine.version;
    for (int bit = 0; bit < 13; ++bit) {
      system.clear();
      AllowOs({bit});
      EXPECT_EQ(Check(), machine.bits.count(bit) == 1)
          << "os" << bit << " on " << machine.version.major << "." << machine.version.minor << "."
          << (machine.version.build & 0xFFFF) << " platform " << machine.version.platformId;
    }
  }
}

TEST_F(RequirementsTest, AllSevenOldRowsStillSkipTheCheckWhateverTheNewOnesSay) {
  fake.system.version = {10, 0, 19045, kPlatformNt};
  AllowOs({0, 1, 2, 3, 4, 5, 6});
  EXPECT_TRUE(Check());
  AllowOs({12});
  EXPECT_TRUE(Check());
  system.erase("os0");
  EXPECT_FALSE(Check()) << "six old rows and Windows 11 do not admit Windows 10";
}

TEST_F(RequirementsOnAnyOsTest, RamRoundsDownAndAddsOne) {
  system["2"] = "64 MB";
  fake.system.physicalMemory = 63 * 1048576ull + 524288;  // 63.5 MB
  EXPECT_TRUE(Check());
  fake.system.physicalMemory = 63 * 1048576ull - 1;
  EXPECT_FALSE(Check());
  EXPECT_EQ(Shown(), "The amount of RAM is not adequate for running Acme.");
  system["2"] = "";
  EXPECT_TRUE(Check());
  system["2"] = "99999999999999999999999 MB";
  EXPECT_FALSE(Check());
  fake.system.physicalMemory = ~0ull;
  EXPECT_TRUE(Check());
}

TEST_F(RequirementsOnAnyOsTest, ScreenNeedsBothWidthAndHeight) {
  fake.system.screenWidth = 1280;
  fake.system.screenHeight = 720;
  system["3"] = "1024x768";
  EXPECT_FALSE(Check());
  EXPECT_EQ(Shown(), "The screen resolution is not adequate for running Acme.");
  system["3"] = "1281x600";
  EXPECT_FALSE(Check());
  system["3"] = "1280x720";
  EXPECT_TRUE(Check());
  system["3"] = "4096";
  EXPECT_TRUE(Check()) << "no x, no minimum";
}

TEST_F(RequirementsOnAnyOsTest, ColourTextsMapToBitsPerPixel) {
  const std::pair<const char*, int> depths[] = {
      {"65.636 colors", 16}, {"256 colors", 8}, {"24bit colors", 24}, {"32bit colors", 32}};
  for (const auto& [text, bits] : depths) {
    system["4"] = text;
    fake.system.bitsPerPixel = bits;
    EXPECT_TRUE(Check()) << text;
    fake.system.bitsPerPixel = bits - 1;
    EXPECT_FALSE(Check()) << text;
    EXPECT_EQ(Shown(), "The color settings of your system are not adequate for running Acme.");
  }
  for (const char* text : {"", "16bit colors", "any colors"}) {
    system["4"] = text;
    EXPECT_TRUE(Check()) << "'" << text << "' asks for nothing";
  }
}

TEST_F(RequirementsOnAnyOsTest, ProcessorTextMustOccurInTheName) {
  fake.system.cpuLeaves[1].eax = 0x670;  // Pentium III Katmai
  system["1"] = "INTEL Pentium";
  EXPECT_TRUE(Check());
  system["1"] = "intel pentium";
  EXPECT_FALSE(Check());
  EXPECT_EQ(Shown(), "The processor is not adequate for running Acme.");
  fake.system.cpuLeaves[1].eax = 0x660;  // Celeron Mendocino
  system["1"] = "INTEL Pentium";
  EXPECT_FALSE(Check());
  system["1"] = "";
  EXPECT_TRUE(Check());
  // "AuthenticAMD" (EBX "Auth", EDX "enti", ECX "cAMD"), family 6 model 10: an Athlon Barton.
  fake.system.cpuLeaves = {{0, {1, 0x68747541, 0x444D4163, 0x69746E65}}, {1, {0x6A0, 0, 0, 0}}};
  system["1"] = "AMD Athlon";
  EXPECT_TRUE(Check());
  fake.system.cpuLeaves.clear();
  system["1"] = "Cyrix";
  EXPECT_TRUE(Check()) << "a processor that cannot identify itself passes";
}

TEST_F(RequirementsTest, FirstFailureIsTheOnlyOneReported) {
  system = {{"1", "Cyrix"}, {"2", "4096 MB"}, {"3", "2000x2000"}, {"4", "32bit colors"}};
  fake.system.bitsPerPixel = 16;
  const std::pair<std::function<void()>, const char*> fixes[] = {
      {[&] { AllowOs({5}); }, "The amount of RAM"},
      {[&] { system["2"] = "Any"; }, "The screen resolution"},
      {[&] { system["3"] = "Any resolution"; }, "The color settings"},
      {[&] { system["4"] = "Any colors"; }, "The processor"},
  };
  EXPECT_FALSE(Check());
  EXPECT_EQ(Shown().rfind("The operating system", 0), 0u);
  for (const auto& [fix, next] : fixes) {
    fix();
    EXPECT_FALSE(Check());
    EXPECT_EQ(Shown().rfind(next, 0), 0u) << Shown();
  }
}

TEST_F(RequirementsTest, LanguageTextsReplaceTheBuiltInOnesWhenNotEmpty) {
  fake.files.WriteAll(kLanguagePath, "[REQ]\r\n0=<ProductName> needs Windows XP.\r\n3=\r\n");
  EXPECT_FALSE(Check());
  EXPECT_EQ(Shown(), "Acme needs Windows XP.");
  AllowOs({5});
  system["2"] = "100000";
  EXPECT_FALSE(Check());
  EXPECT_EQ(Shown(), "The amount of RAM is not adequate for running Acme.");
}

TEST_F(RequirementsTest, TracesEachCheckAndTheOutcome) {
  AllowOs({5});
  system["2"] = "128 MB";
  system["4"] = "32bit colors";
  fake.system.bitsPerPixel = 16;
  EXPECT_FALSE(Check());
  std::string log = fake.files.ReadAll(kLogPath).value_or("");
  EXPECT_NE(log.find("requirements check name=os required=32 actual=5.1.2600 result=pass\n"), std::string::npos);
  EXPECT_NE(log.find("requirements check name=ram required=128 actual=513 result=pass\n"), std::string::npos);
  EXPECT_NE(log.find("name=colors required=32 actual=16 result=fail\n"), std::string::npos);
  EXPECT_NE(log.find("requirements done result=fail failed=colors\n"), std::string::npos);
  EXPECT_EQ(log.find("name=processor"), std::string::npos);
}

}  // namespace
}  // namespace tw
