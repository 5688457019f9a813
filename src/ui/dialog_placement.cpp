#include "ui/dialog_placement.h"

namespace {

// The start of a span of `size` centred on [from, to), kept inside
// [low, high) where it fits, else at `low`.
long Place(long from, long to, long size, long low, long high) {
  long start = from + ((to - from) - size) / 2;
  if (start + size > high) start = high - size;
  if (start < low) start = low;
  return start;
}

}  // namespace

ScreenRect CenteredDialog(const ScreenRect& dialog, const ScreenRect* owner, const ScreenRect& workArea) {
  const ScreenRect& around = owner ? *owner : workArea;
  ScreenRect placed;
  placed.left = Place(around.left, around.right, dialog.Width(), workArea.left, workArea.right);
  placed.top = Place(around.top, around.bottom, dialog.Height(), workArea.top, workArea.bottom);
  placed.right = placed.left + dialog.Width();
  placed.bottom = placed.top + dialog.Height();
  return placed;
}
