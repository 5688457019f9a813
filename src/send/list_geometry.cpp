#include "send/list_geometry.h"

#include <algorithm>

int MoveSelection(int selected, ListKey key, int matches, int visible) {
  int sel = selected;
  switch (key) {
    case ListKey::kUp:
      sel = selected - 1;
      break;
    case ListKey::kDown:
      sel = selected + 1;
      break;
    case ListKey::kPageUp:
      sel = std::max(selected - visible, 0);
      break;
    case ListKey::kPageDown:
      sel = selected + visible >= matches - 1 ? matches - 1 : selected + visible;
      break;
    case ListKey::kHome:
      sel = 0;
      break;
    case ListKey::kEnd:
      sel = matches - 1;
      break;
  }
  if (sel < 0) sel = matches - 1;
  if (sel >= matches) sel = 0;
  return sel;
}

int ClampTopRow(int top, int matches, int visible) {
  return std::max(0, std::min(top, matches - visible));
}

std::vector<int> ScrollSteps(int top, int row, int matches, int visible) {
  std::vector<int> steps;
  if (row < top) {
    while (top > row) steps.push_back(--top);
  } else if (row >= top + visible) {
    int target = ClampTopRow(row - visible + 1, matches, visible);
    while (top < target) steps.push_back(++top);
  }
  return steps;
}

bool AnimatesScrolling(int matches) { return matches <= 50; }

ListRect ListPlacement(const ListRect& field, int matches, const ListMetrics& metrics, long userWidth,
                       long userHeight) {
  ListRect list;
  list.left = field.left;
  list.top = field.bottom;
  long width = field.Width();
  long height = std::min(matches, kMaxVisibleRows) * metrics.rowHeight + 2 * metrics.borderHeight;
  if (userWidth > 0 && userHeight > 0) {
    width = userWidth;
    height = userHeight;
  }
  list.right = list.left + width;
  list.bottom = list.top + height;
  return list;
}

int VisibleRows(long windowHeight, int rowHeight) {
  return rowHeight > 0 ? static_cast<int>(windowHeight / rowHeight) : 0;
}

MinimumSize MinimumListSize(long fieldWidth, int matches, const ListMetrics& metrics, long scrollBarMinimum) {
  long all = static_cast<long>(matches) * metrics.rowHeight + 2 * metrics.borderHeight;
  return {fieldWidth, all < scrollBarMinimum ? all : scrollBarMinimum};
}
