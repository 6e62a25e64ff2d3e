// The fixed dialogs' texts, labels, visible buttons and answers, with and without a language file.
#include <gtest/gtest.h>

#include "project/placeholders.h"
#include "project/trace.h"
#include "platform/fake/fake_platform.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

class FixedDialogsTest : public ::testing::Test {
 protected:
  FixedDialogsTest()
      : dialogs(fake.ui, fake.files, trace, languageFile, [](const std::string& text) {
          PlaceholderValues values;
          values.productName = "Acme";
          return ExpandPlaceholderText(text, values, {}, Expansion::Wizard);
        }) {}
  void WriteLanguage() {
    fake.files.WriteAll(languageFile,
                        "[CancelSetup]\r\n0=Cancel the [ProductName] setup?\r\n1=No\r\n2=Yes\r\n"
                        "[SetupError]\r\n3=Close <ProductName>\r\n");
  }
  const FixedDialogLook& Last() { return fake.ui.dialogs.back(); }

  FakePlatform fake;
  Trace trace;
  std::string languageFile = "C:\\language.lan";
  FixedDialogs dialogs;
};

TEST_F(FixedDialogsTest, CancelConfirmationReadsTheLanguageFile) {
  WriteLanguage();
  fake.ui.dialogResults = {1, 2};
  EXPECT_TRUE(dialogs.ConfirmCancel());
  EXPECT_EQ(Last().templateId, kDialogConfirm);
  EXPECT_EQ(Last().text.value_or(""), "Cancel the Acme setup?") << "square brackets name placeholders";
  ASSERT_EQ(Last().buttons.size(), 2u);
  EXPECT_EQ(Last().buttons[0].label.value_or("?"), "Yes");
  EXPECT_EQ(Last().buttons[1].label.value_or("?"), "No");
  EXPECT_EQ(Last().escapeResult, 2) << "Esc is not a confirmation";
  EXPECT_FALSE(dialogs.ConfirmCancel());
}

TEST_F(FixedDialogsTest, WithoutALanguageFileTheTextsAreBlank) {
  dialogs.ConfirmCancel();
  EXPECT_EQ(Last().text.value_or("?"), "");
  EXPECT_EQ(Last().buttons[0].label.value_or("?"), "");
  EXPECT_EQ(Last().buttons[1].label.value_or("?"), "");
}

TEST_F(FixedDialogsTest, ErrorBoxShowsOneButtonAndExpandsItsText) {
  WriteLanguage();
  dialogs.ShowError("<ProductName> needs more memory.");
  EXPECT_EQ(Last().text.value_or(""), "Acme needs more memory.");
  EXPECT_FALSE(Last().buttons[0].visible);
  EXPECT_TRUE(Last().buttons[1].visible);
  EXPECT_EQ(Last().buttons[1].label.value_or(""), "Close Acme");
  EXPECT_EQ(Last().buttons[1].result, 2);
}

TEST_F(FixedDialogsTest, QuestionKeepsItsTextAsGiven) {
  WriteLanguage();
  fake.ui.dialogResults = {2};
  EXPECT_EQ(dialogs.AskQuestion("Restart <ProductName> now?"), 2);
  EXPECT_EQ(Last().text.value_or(""), "Restart <ProductName> now?");
  EXPECT_EQ(Last().buttons[0].label.value_or(""), "Yes");
}

TEST_F(FixedDialogsTest, RetryDialogAndItsCancelOnlyVariant) {
  FixedDialogLook full = dialogs.RetryLook("", false);
  EXPECT_FALSE(full.text.has_value()) << "an empty text keeps the template's own";
  EXPECT_EQ(full.escapeResult, FixedDialogs::kCancel);
  fake.ui.dialogResults = {};
  EXPECT_EQ(dialogs.AskRetry("Disk full", true), FixedDialogs::kCancel);
  EXPECT_EQ(Last().templateId, kDialogRetry);
  EXPECT_EQ(Last().text.value_or(""), "Disk full");
  EXPECT_FALSE(Last().buttons[0].visible);
  EXPECT_FALSE(Last().buttons[1].visible);
  EXPECT_TRUE(Last().buttons[2].visible);
}

TEST_F(FixedDialogsTest, InfoMessageAndWaitNotice) {
  dialogs.ShowInfo("Disk too small");
  EXPECT_EQ(Last().templateId, kDialogMessage);
  EXPECT_EQ(Last().text.value_or(""), "Disk too small");
  dialogs.ShowWait();
  EXPECT_TRUE(fake.ui.waitNoticeShown);
  dialogs.CloseWait();
  EXPECT_FALSE(fake.ui.waitNoticeShown);
}

}  // namespace
}  // namespace tw
