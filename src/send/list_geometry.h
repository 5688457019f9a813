#pragma once
#include <vector>

// Arithmetic of the suggestion list: which row is selected, which rows are
// visible, and where the list lies. Rows and counts are match indexes.

enum class ListKey { kUp, kDown, kPageUp, kPageDown, kHome, kEnd };

// The row selected after `key`, from `selected` (-1 for none), among
// `matches` rows of which `visible` show at once; wraps at both ends.
int MoveSelection(int selected, ListKey key, int matches, int visible);

// The top row that keeps `top` within 0 and matches - visible.
int ClampTopRow(int top, int matches, int visible);

// The top rows passed through, one step at a time, to bring `row` into
// view; empty when it is already visible. The last one is the new top row.
std::vector<int> ScrollSteps(int top, int row, int matches, int visible);

// Keyboard moves animate the scrolling only for short lists.
bool AnimatesScrolling(int matches);

struct ListRect {
  long left = 0, top = 0, right = 0, bottom = 0;
  long Width() const { return right - left; }
  long Height() const { return bottom - top; }
};

struct ListMetrics {
  int rowHeight = 16;
  int borderHeight = 1;  // of one edge
};

inline constexpr int kMaxVisibleRows = 8;

// Where the list is shown: directly below `field` (screen coordinates),
// as wide as the field and up to eight rows high, or at the size the user
// gave it (`userWidth`, `userHeight`, 0 while the user has not resized it).
ListRect ListPlacement(const ListRect& field, int matches, const ListMetrics& metrics, long userWidth = 0,
                       long userHeight = 0);

int VisibleRows(long windowHeight, int rowHeight);

// The smallest size the size grip allows: the field's width, and the
// height of all matches when they fit under the scroll bar's own minimum,
// else that minimum.
struct MinimumSize {
  long width = 0, height = 0;
};
MinimumSize MinimumListSize(long fieldWidth, int matches, const ListMetrics& metrics, long scrollBarMinimum);
