#pragma once

// Where a dialog opens: centred over its owner, or over the work area when
// it has none, and moved back inside the work area where it would stick out.
struct ScreenRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
  long Width() const { return right - left; }
  long Height() const { return bottom - top; }
};

ScreenRect CenteredDialog(const ScreenRect& dialog, const ScreenRect* owner, const ScreenRect& workArea);
