// The record of what was there before an installation: what it writes reads back byte for byte,
// and a line cut short or garbled is set aside without touching the others.
#include "install/prior_records.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

const PriorValue kOdd{"HKEY_CURRENT_USER\\Software\\A\\na%me\t", "HKEY_CURRENT_USER\\Software\\A", "na%me\t\r\n",
                      {7, std::string("one\0two\0\0", 9)}};

std::string File() {
  return FormatPriorHeader() + FormatInstallDirRecord("C:\\Games\\") + FormatValueRecord(kOdd) +
         FormatValueRecord(
             {"HKEY_CLASSES_ROOT\\.txt\\", "HKEY_CLASSES_ROOT\\.txt", "", {1, std::string("txtfile\0", 8)}}) +
         FormatNameRecord({"HKEY_CURRENT_USER\\A\\b\\c", "HKEY_CURRENT_USER\\A", "b\\c"});
}

TEST(PriorRecords, WhatIsWrittenReadsBackWhole) {
  PriorRecords records = ParsePriorRecords(File());
  EXPECT_TRUE(records.headerSeen);
  EXPECT_EQ(records.skipped, 0);
  EXPECT_EQ(records.installDir, "C:\\Games\\");
  const PriorValue* odd = records.Find("hkey_current_user\\software\\a\\NA%ME\t");
  ASSERT_TRUE(odd) << "found as Windows compares names";
  EXPECT_EQ(odd->key, kOdd.key);
  EXPECT_EQ(odd->name, kOdd.name);
  EXPECT_EQ(odd->value, kOdd.value);
  EXPECT_EQ(File().find('\t' + std::string("\r\n")), std::string::npos) << "separators inside fields are escaped";
  // Where a logged value's key ends: as recorded, else at its last backslash.
  EXPECT_EQ(records.Split("HKEY_CURRENT_USER\\A\\b\\c").value_or(ValueName{}).name, "b\\c");
  EXPECT_EQ(records.Split("HKEY_CURRENT_USER\\A\\x\\c").value_or(ValueName{}).key, "HKEY_CURRENT_USER\\A\\x");
  EXPECT_EQ(records.Split(kOdd.logged).value_or(ValueName{}).name, kOdd.name);
}

TEST(PriorRecords, ALineItCannotTrustIsSetAside) {
  const std::string file = File();
  const size_t third = file.find("VALUE");
  const struct {
    const char* why;
    std::string text;
    int values, skipped;
  } cases[] = {
      {"cut inside the last line", file.substr(0, file.size() - 5), 2, 1},
      {"cut between CR and LF", file.substr(0, file.size() - 1), 2, 1},
      {"a byte changed", std::string(file).replace(third + 8, 1, "X"), 1, 1},
      {"a failed write followed by the next", file.substr(0, third + 20) + file.substr(file.rfind("VALUE")), 0, 1},
      {"no header", file.substr(file.find("\r\n") + 2), 0, 1},
      {"an empty file", "", 0, 0},
  };
  for (const auto& c : cases) {
    PriorRecords records = ParsePriorRecords(c.text);
    EXPECT_EQ(records.values.size(), static_cast<size_t>(c.values)) << c.why;
    EXPECT_EQ(records.skipped, c.skipped) << c.why;
  }
}

}  // namespace
}  // namespace tw
