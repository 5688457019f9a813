#include <gtest/gtest.h>

#include <optional>

#include "ui/run_in_progress.h"

TEST(RunInProgress, LastsFromTheFirstScopeToTheLastEvenWhenScopesNest) {
  EXPECT_FALSE(RunInProgress::Now());
  std::optional<RunInProgress> outer(std::in_place);
  EXPECT_TRUE(RunInProgress::Now());
  {
    const RunInProgress inner;
    EXPECT_TRUE(RunInProgress::Now());
  }
  EXPECT_TRUE(RunInProgress::Now()) << "the inner scope's end is not the run's";
  outer.reset();
  EXPECT_FALSE(RunInProgress::Now());
}
