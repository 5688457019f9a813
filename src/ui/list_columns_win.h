#pragma once
#include <windows.h>

#include <commctrl.h>

// Gives a report list's last column the width its other columns leave, so
// that the list never needs a horizontal scroll bar to show it and an
// enlarged dialog shows more of it; never narrower than `minimum`.
inline void FillLastColumn(HWND list, int minimum) {
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  if (columns <= 0) return;
  RECT client{};
  GetClientRect(list, &client);
  int others = 0;
  for (int column = 0; column + 1 < columns; ++column) others += ListView_GetColumnWidth(list, column);
  const int rest = static_cast<int>(client.right) - others;
  ListView_SetColumnWidth(list, columns - 1, rest > minimum ? rest : minimum);
}
