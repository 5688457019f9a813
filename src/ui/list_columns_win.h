#pragma once
#include <windows.h>

#include <commctrl.h>

// Gives a report list's `column` the width the other columns leave, so that
// the list needs no horizontal scroll bar to show them all and an enlarged
// dialog shows more of that column (a message's text); never narrower than
// `minimum`.
inline void FillColumn(HWND list, int column, int minimum) {
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  if (column < 0 || column >= columns) return;
  RECT client{};
  GetClientRect(list, &client);
  int others = 0;
  for (int i = 0; i < columns; ++i) {
    if (i != column) others += ListView_GetColumnWidth(list, i);
  }
  const int rest = static_cast<int>(client.right) - others;
  ListView_SetColumnWidth(list, column, rest > minimum ? rest : minimum);
}
