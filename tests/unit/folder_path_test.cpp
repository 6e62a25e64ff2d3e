// Which typed destination folders the folder dialog accepts.
#include <gtest/gtest.h>

#include "app/folder_path.h"

namespace tw {
namespace {

TEST(FolderPath, TheValidationTable) {
  const struct {
    const char* path;
    bool valid;
  } cases[] = {
      {"C:\\", true},           {"C:\\Apps", true},         {"d:\\My Apps\\Acme 2", true},
      {"C:", false},            {"C:\\Apps\\", false},       {"1:\\Apps", false},
      {"C:/Apps", false},       {"C:\\Apps\\\\x", false},    {"C:\\ Apps", false},
      {"C:\\Apps.", false},     {"C:\\.hidden", false},      {"C:\\a\tb", true},
      {"C:\\a\\b\t", false},    {"C:\\what?", false},        {"C:\\a|b", false},
      {"C:\\a:b", false},       {"C:\\a\"b", false},         {"C:\\a<b>", false},
      {"\\\\server\\share", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidFolderPath(c.path), c.valid) << c.path;
}

TEST(FolderPath, Messages) {
  EXPECT_EQ(InvalidFolderMessage("C:\\x?"), "The folder:\n\nC:\\x?\n\nis invalid. Please reenter.");
  EXPECT_EQ(CreateFolderQuestion("C:\\New"),
            "The folder:\n\nC:\\New\n\ndoes not exist. Do you want the folder to be created?");
  EXPECT_EQ(FolderNotCreatedMessage("C:\\New"), "The folder:\n\nC:\\New\n\ncan not be created. Please double check.");
}

}  // namespace
}  // namespace tw
