#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "gateway/cursor_helper_win.h"

namespace {

const std::wstring kSuffix = L" - Please wait to send SMS list...";

class CursorHelperTest : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"Send SMS", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                              200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    arrow_ = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow_);
  }
  void TearDown() override { DestroyWindow(window_); }

  std::wstring Caption() const {
    wchar_t text[1024] = {};
    GetWindowTextW(window_, text, 1024);
    return text;
  }

  HWND window_ = nullptr;
  HCURSOR arrow_ = nullptr;
};

TEST_F(CursorHelperTest, MarksTheWindowWhileItLivesAndRestoresItAfter) {
  {
    CCursorHelper busy(window_);
    EXPECT_EQ(Caption(), L"Send SMS" + kSuffix);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(GetCapture(), window_);
  }
  EXPECT_EQ(Caption(), L"Send SMS");
  EXPECT_EQ(GetCursor(), arrow_);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CursorHelperTest, AddsTheSuffixOnceAndRemovesEveryCopy) {
  SetWindowTextW(window_, (L"Batch" + kSuffix).c_str());
  {
    CCursorHelper busy(window_);
    EXPECT_EQ(Caption(), L"Batch" + kSuffix);
    CCursorHelper nested(window_);
    EXPECT_EQ(Caption(), L"Batch" + kSuffix);
  }
  EXPECT_EQ(Caption(), L"Batch");

  SetWindowTextW(window_, (L"A" + kSuffix + L"B" + kSuffix).c_str());
  { CCursorHelper busy(window_); }
  EXPECT_EQ(Caption(), L"AB");
}

TEST_F(CursorHelperTest, LongCaptionKeepsItsTextAndTakesTheSuffix) {
  const std::wstring longCaption(300, L'x');
  SetWindowTextW(window_, longCaption.c_str());
  {
    CCursorHelper busy(window_);
    wchar_t text[1024] = {};
    GetWindowTextW(window_, text, 1024);
    EXPECT_EQ(std::wstring(text), longCaption + kSuffix);
  }
  EXPECT_EQ(Caption(), longCaption);
}

TEST_F(CursorHelperTest, WithoutAWindowOnlyTheCursorChanges) {
  {
    CCursorHelper busy(nullptr);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(GetCapture(), nullptr);
  }
  EXPECT_EQ(GetCursor(), arrow_);
  EXPECT_EQ(Caption(), L"Send SMS");
}

}  // namespace
