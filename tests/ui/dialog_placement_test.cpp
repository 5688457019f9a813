#include "ui/dialog_placement.h"

#include <gtest/gtest.h>

namespace {

const ScreenRect kWorkArea{0, 0, 1280, 1000};
const ScreenRect kDialog{0, 0, 300, 200};

void ExpectAt(const ScreenRect& placed, long left, long top) {
  EXPECT_EQ(placed.left, left);
  EXPECT_EQ(placed.top, top);
  EXPECT_EQ(placed.Width(), 300);
  EXPECT_EQ(placed.Height(), 200);
}

TEST(DialogPlacement, CentresOverTheOwnerOrElseTheWorkArea) {
  ScreenRect owner{100, 100, 700, 500};
  ExpectAt(CenteredDialog(kDialog, &owner, kWorkArea), 250, 200);
  ExpectAt(CenteredDialog(kDialog, nullptr, kWorkArea), 490, 400);
}

TEST(DialogPlacement, StaysInsideTheWorkAreaWhenTheOwnerIsAtItsEdge) {
  ScreenRect nearRightBottom{1200, 950, 1400, 1100};
  ExpectAt(CenteredDialog(kDialog, &nearRightBottom, kWorkArea), 980, 800);
  ScreenRect offLeftTop{-500, -300, -100, 0};
  ExpectAt(CenteredDialog(kDialog, &offLeftTop, kWorkArea), 0, 0);
  ScreenRect secondMonitor{1280, 0, 2560, 1000};
  ExpectAt(CenteredDialog(kDialog, &secondMonitor, ScreenRect{1280, 0, 2560, 1000}), 1770, 400);
}

TEST(DialogPlacement, ADialogLargerThanTheWorkAreaKeepsItsTopLeftCorner) {
  ScreenRect small{0, 0, 200, 100};
  ExpectAt(CenteredDialog(kDialog, nullptr, small), 0, 0);
}

}  // namespace
