#include "send/list_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(MoveSelection, TwelveMatchesEightVisible) {
  EXPECT_EQ(MoveSelection(0, ListKey::kPageDown, 12, 8), 8);
  EXPECT_EQ(MoveSelection(8, ListKey::kPageDown, 12, 8), 11);
  EXPECT_EQ(MoveSelection(3, ListKey::kPageDown, 12, 8), 11) << "reaching m - 1 stops there";
  EXPECT_EQ(MoveSelection(9, ListKey::kPageUp, 12, 8), 1);
  EXPECT_EQ(MoveSelection(5, ListKey::kPageUp, 12, 8), 0);
  EXPECT_EQ(MoveSelection(4, ListKey::kEnd, 12, 8), 11);
  EXPECT_EQ(MoveSelection(4, ListKey::kHome, 12, 8), 0);
  EXPECT_EQ(MoveSelection(11, ListKey::kDown, 12, 8), 0);
  EXPECT_EQ(MoveSelection(0, ListKey::kUp, 12, 8), 11);
}

TEST(MoveSelection, FromNoSelection) {
  EXPECT_EQ(MoveSelection(-1, ListKey::kDown, 3, 8), 0);
  EXPECT_EQ(MoveSelection(-1, ListKey::kUp, 3, 8), 2);
  EXPECT_EQ(MoveSelection(-1, ListKey::kPageUp, 3, 8), 0);
  EXPECT_EQ(MoveSelection(-1, ListKey::kPageDown, 3, 8), 2);
}

TEST(ScrollSteps, OneStepAtATimeUntilTheRowShows) {
  EXPECT_TRUE(ScrollSteps(0, 7, 12, 8).empty());
  EXPECT_EQ(ScrollSteps(0, 11, 12, 8), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(ScrollSteps(4, 0, 12, 8), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(ScrollSteps(0, 8, 12, 8), std::vector<int>{1}) << "the row becomes the last visible";
  EXPECT_TRUE(ScrollSteps(0, 2, 3, 8).empty());
}

TEST(ClampTopRow, LeavesNoEmptyRowsBelowTheLastMatch) {
  EXPECT_EQ(ClampTopRow(6, 12, 8), 4);
  EXPECT_EQ(ClampTopRow(2, 3, 8), 0);
  EXPECT_EQ(ClampTopRow(-1, 12, 8), 0);
}

TEST(ListPlacement, BelowTheFieldUpToEightRows) {
  ListRect field{100, 50, 400, 71};
  ListMetrics metrics{13, 1};
  ListRect three = ListPlacement(field, 3, metrics);
  EXPECT_EQ(three.left, 100);
  EXPECT_EQ(three.top, 71);
  EXPECT_EQ(three.Width(), 300);
  EXPECT_EQ(three.Height(), 3 * 13 + 2);
  EXPECT_EQ(ListPlacement(field, 12, metrics).Height(), 8 * 13 + 2);
  EXPECT_EQ(VisibleRows(8 * 13 + 2, 13), 8);

  ListRect resized = ListPlacement(field, 2, metrics, 500, 200);
  EXPECT_EQ(resized.left, 100) << "the position still follows the field";
  EXPECT_EQ(resized.Width(), 500);
  EXPECT_EQ(resized.Height(), 200);
}

TEST(MinimumListSize, AllMatchesWhenTheyFitUnderTheScrollBarMinimum) {
  ListMetrics metrics{13, 1};
  EXPECT_EQ(MinimumListSize(300, 2, metrics, 60).height, 28);
  EXPECT_EQ(MinimumListSize(300, 12, metrics, 60).height, 60);
  EXPECT_EQ(MinimumListSize(300, 12, metrics, 60).width, 300);
}

}  // namespace
