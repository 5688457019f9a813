#include "ui/anchored_layout_win.h"

void AnchoredLayout::Capture(HWND dialog, const std::vector<Control>& controls) {
  dialog_ = dialog;
  RECT client{}, window{};
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  client_ = {client.right, client.bottom};
  smallest_ = {window.right - window.left, window.bottom - window.top};
  placed_.clear();
  for (const Control& control : controls) {
    HWND item = GetDlgItem(dialog, control.id);
    RECT rect{};
    GetWindowRect(item, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    placed_.push_back({item, control.anchors, rect});
  }
}

void AnchoredLayout::Apply() const {
  if (!dialog_) return;
  RECT client{};
  GetClientRect(dialog_, &client);
  const int dx = client.right - client_.cx, dy = client.bottom - client_.cy;
  HDWP positions = BeginDeferWindowPos(static_cast<int>(placed_.size()));
  for (const Placed& item : placed_) {
    RECT r = item.rect;
    if (item.anchors & kRight) {
      r.right += dx;
      if (!(item.anchors & kLeft)) r.left += dx;
    }
    if (item.anchors & kBottom) {
      r.bottom += dy;
      if (!(item.anchors & kTop)) r.top += dy;
    }
    if (positions) {
      positions = DeferWindowPos(positions, item.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (positions) EndDeferWindowPos(positions);
  InvalidateRect(dialog_, nullptr, TRUE);
}

bool AnchoredLayout::OnMessage(UINT message, LPARAM lParam, LRESULT& result) const {
  if (message == WM_SIZE) Apply();
  if (message != WM_GETMINMAXINFO) return false;
  LimitSize(*reinterpret_cast<MINMAXINFO*>(lParam));
  result = 0;
  return true;
}

void AnchoredLayout::LimitSize(MINMAXINFO& limits) const {
  if (!dialog_) return;
  limits.ptMinTrackSize.x = smallest_.cx;
  limits.ptMinTrackSize.y = smallest_.cy;
}
