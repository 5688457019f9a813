// The product's message boxes, answered as a user answers them; this also
// proves the harness on boxes the dialogs of later commands will show.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_user.h"
#include "platform/prompt_win.h"

namespace {

HWND MakeOwner() {
  return CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr,
                         nullptr, nullptr, nullptr);
}

TEST(MessageBoxPrompt, ShowsTheTextUnderTheCallersCaptionAndWaitsForOk) {
  HWND owner = MakeOwner();
  RunWithUser(
      [owner] {
        MessageBoxPrompt(owner).Show(u"Line one\nline two \u00e9", u"Send SMS");
        return INT_PTR{0};
      },
      [owner](DialogUser& user) {
        HWND box = user.WaitForDialog(L"Send SMS");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(user.MessageText(box), L"Line one\nline two \u00e9");
        EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
        EXPECT_EQ(GetDlgItem(box, IDNO), nullptr) << "a single OK button";
        user.Click(box, IDOK);
        EXPECT_TRUE(user.WaitUntilClosed(box));
      });
  DestroyWindow(owner);
}

TEST(MessageBoxPrompt, AskYesNoIsTrueOnlyForYes) {
  for (int answer : {IDYES, IDNO}) {
    bool said = answer != IDYES;
    RunWithUser(
        [&said] {
          said = MessageBoxPrompt(nullptr).AskYesNo(u"Send it again?", u"Send Batch SMS");
          return INT_PTR{0};
        },
        [answer](DialogUser& user) {
          HWND box = user.WaitForDialog(L"Send Batch SMS");
          ASSERT_NE(box, nullptr);
          EXPECT_EQ(user.MessageText(box), L"Send it again?");
          user.Click(box, answer);
        });
    EXPECT_EQ(said, answer == IDYES);
  }
}

}  // namespace
