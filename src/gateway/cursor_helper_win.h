#pragma once
#include <windows.h>

// Shows that a send run is in progress for as long as it lives: the wait
// cursor, the mouse captured by the dialog and the caption suffix
// " - Please wait to send SMS list...".
class CCursorHelper {
 public:
  explicit CCursorHelper(HWND window);
  virtual ~CCursorHelper();
  CCursorHelper(const CCursorHelper&) = delete;
  CCursorHelper& operator=(const CCursorHelper&) = delete;

 private:
  HCURSOR previousCursor_;
  HWND window_;
};
