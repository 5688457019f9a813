// The delivery report as a user meets it: a message box while it fits the
// screen, the scrolling report dialog once it does not.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_user.h"
#include "resource_ids.h"
#include "ui/delivery_report_win.h"

namespace {

const std::wstring kCaption = L"Send batch SMS";

std::u16string Report(int lines) {
  std::u16string report = u"SMS delivery results:\n\n";
  for (int i = 1; i <= lines; ++i) {
    const std::string n = std::to_string(i);
    const std::u16string name = u"Patient " + std::u16string(n.begin(), n.end());
    if (i == lines - 1) {
      report += u"Message for " + name + u" was not sent. Details: Invalid number\n";
    } else if (i == lines) {
      report += u"Message for " + name + u" may not have been sent. Details: The connection was closed\n";
    } else {
      report += u"Message for " + name + u" was sent successfully. Details: Message queued for delivery\n";
    }
  }
  return report;
}

std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST(DeliveryReport, AShortReportStaysAMessageBox) {
  const std::u16string report = Report(5);
  RunWithUser(
      [&] {
        ReportingPrompt(nullptr).ShowReport(report, u"Send batch SMS");
        return INT_PTR{0};
      },
      [&](DialogUser& user) {
        HWND box = user.WaitForDialog(kCaption);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(user.MessageText(box), W(report));
        EXPECT_EQ(GetDlgItem(box, IDC_REPORT_TEXT), nullptr);
        user.Click(box, IDOK);
        EXPECT_TRUE(user.WaitUntilClosed(box));
      });
}

TEST(DeliveryReport, ALongReportScrollsInAResizableDialogWithTheProblemsFirst) {
  const std::u16string report = Report(200);
  RunWithUser(
      [&] {
        ReportingPrompt(nullptr).ShowReport(report, u"Send batch SMS");
        return INT_PTR{0};
      },
      [&](DialogUser& user) {
        HWND dialog = user.WaitForDialog(kCaption);
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(GetDlgItem(dialog, IDC_REPORT_TEXT), nullptr) << "the report dialog, not a message box";
        EXPECT_EQ(user.Text(dialog, IDC_REPORT_SUMMARY), L"198 sent, 1 not sent, 1 may not have been sent");
        const std::wstring text = user.Text(dialog, IDC_REPORT_TEXT);
        EXPECT_EQ(text.rfind(L"Not sent or may not have been sent:\r\n\r\n"
                             L"Message for Patient 199 was not sent. Details: Invalid number\r\n"
                             L"Message for Patient 200 may not have been sent.",
                             0),
                  0u)
            << std::string(text.begin(), text.begin() + 200);
        EXPECT_NE(text.find(L"Message for Patient 150 was sent successfully."), std::wstring::npos);
        HWND edit = GetDlgItem(dialog, IDC_REPORT_TEXT);
        EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
        EXPECT_TRUE(GetWindowLongW(dialog, GWL_STYLE) & WS_THICKFRAME) << "resizable";
        RECT frame{};
        GetWindowRect(dialog, &frame);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
        EXPECT_LE(frame.bottom, monitor.rcWork.bottom) << "OK is within reach";
        SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + 200, frame.bottom - frame.top + 100,
                     SWP_NOMOVE | SWP_NOZORDER);
        user.WaitUntilHandled(dialog);
        RECT ok{}, grown{};
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
        GetWindowRect(dialog, &grown);
        EXPECT_LT(grown.right - ok.right, 30) << "OK follows the frame's corner";
        user.Screenshot(L"delivery_report_long");

        user.Click(dialog, IDC_REPORT_COPY);
        user.WaitUntilHandled(dialog);
        const std::wstring copied = ClipboardText();
        EXPECT_EQ(copied.rfind(L"198 sent, 1 not sent, 1 may not have been sent\r\n\r\nNot sent", 0), 0u);
        EXPECT_NE(copied.find(L"Message for Patient 1 was sent successfully."), std::wstring::npos);

        user.PressKey(VK_RETURN);
        EXPECT_TRUE(user.WaitUntilClosed(dialog)) << "OK is the default button";
      });
}

}  // namespace
