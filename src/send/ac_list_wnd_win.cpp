#include "send/ac_list_wnd_win.h"

#include <algorithm>

#include "platform/handles_win.h"

namespace {

constexpr wchar_t kClassName[] = L"QuorvalSuggestionList";
constexpr UINT_PTR kMoveTimer = 10;
constexpr UINT kMoveCheckMs = 200;
constexpr DWORD kStepMs = 10;
constexpr DWORD kClickShowMs = 500;
constexpr int kGripLines = 20;

HINSTANCE Module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&Module), &module);
  return module;
}

HFONT ListFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

void RegisterListClass(WNDPROC procedure) {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  if (GetClassInfoExW(Module(), kClassName, &type)) return;
  type.lpfnWndProc = procedure;
  type.hInstance = Module();
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.lpszClassName = kClassName;
  RegisterClassExW(&type);
}

// Lets the screen show the new state before the thread sleeps.
void PaintThenWait(HWND window, DWORD ms) {
  UpdateWindow(window);
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
  Sleep(ms);
}

}  // namespace

CACListWnd::~CACListWnd() {
  if (window_) DestroyWindow(window_);
}

void CACListWnd::Create(HWND edit) {
  edit_ = edit;
  RegisterListClass(Procedure);
  // Owned by the dialog, so that it goes with it.
  CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN,
                  0, 0, 0, 0, GetParent(edit), nullptr, Module(), this);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_ID, kSuggestionListId);
  scrollBar_ = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_VERT, 0, 0, 0, 0, window_, nullptr,
                               Module(), nullptr);
  const WindowDc dc(window_);
  const Selection font(dc.get(), ListFont());
  SIZE extent{};
  if (GetTextExtentPoint32W(dc.get(), L"Hg", 2, &extent) && extent.cy > 0) metrics_.rowHeight = extent.cy;
  metrics_.borderHeight = GetSystemMetrics(SM_CYBORDER);
}

CACListWnd* CACListWnd::FromWindow(HWND window) {
  wchar_t name[64] = {};
  if (!GetClassNameW(window, name, 64) || std::wstring(name) != kClassName) return nullptr;
  return reinterpret_cast<CACListWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void CACListWnd::SetEntries(std::vector<std::u16string> entries) {
  matches_ = {};
  entries_.SetEntries(std::move(entries));
}

bool CACListWnd::IsShown() const { return window_ && IsWindowVisible(window_); }

bool CACListWnd::ShowMatches(const std::u16string& token) {
  size_t previousCount = matches_.size();
  matches_ = entries_.Matches(token);
  if (matches_.empty() || !window_) {
    Hide();
    return false;
  }
  Place();
  SetTopRow(ClampTopRow(topRow_, MatchCount(), visibleRows_));
  if (matches_.size() != previousCount) selected_ = -1;
  Repaint(false);
  return true;
}

void CACListWnd::Hide() {
  if (timer_) KillTimer(window_, timer_);
  timer_ = 0;
  selected_ = -1;
  topRow_ = 0;
  sizing_ = false;
  if (window_) ShowWindow(window_, SW_HIDE);
}

void CACListWnd::Place() {
  RECT field{};
  GetWindowRect(edit_, &field);
  ListRect placed = ListPlacement({field.left, field.top, field.right, field.bottom},
                                  MatchCount(), metrics_, userWidth_, userHeight_);
  SetWindowPos(window_, HWND_TOPMOST, placed.left, placed.top, placed.Width(), placed.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Layout();
  GetWindowRect(GetParent(edit_), &dialogRect_);
  if (!timer_) timer_ = SetTimer(window_, kMoveTimer, kMoveCheckMs, nullptr);
}

// The rows and scroll bar for the window's current size.
void CACListWnd::Layout() {
  RECT client{};
  GetClientRect(window_, &client);
  visibleRows_ = VisibleRows(client.bottom, metrics_.rowHeight);
  int width = GetSystemMetrics(SM_CXVSCROLL);
  int grip = GetSystemMetrics(SM_CYVSCROLL);
  bool needed = MatchCount() > visibleRows_;
  MoveWindow(scrollBar_, client.right - 1 - width, 0, width, std::max(0L, client.bottom - 1 - grip), FALSE);
  ShowWindow(scrollBar_, needed ? SW_SHOWNA : SW_HIDE);
  UpdateScrollBar();
}

bool CACListWnd::ScrollBarShown() const { return scrollBar_ && IsWindowVisible(scrollBar_); }

void CACListWnd::UpdateScrollBar() {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, MatchCount() - 1);
  info.nPage = static_cast<UINT>(std::max(visibleRows_, 0));
  info.nPos = topRow_;
  SetScrollInfo(scrollBar_, SB_CTL, &info, TRUE);
}

void CACListWnd::SetTopRow(int top) {
  topRow_ = top;
  UpdateScrollBar();
}

const std::u16string& CACListWnd::Match(int row) const {
  return entries_.Entries()[matches_.first + static_cast<size_t>(row)];
}

std::u16string CACListWnd::SelectedEntry() const {
  if (matches_.empty()) return {};
  if (selected_ < 0 || selected_ >= MatchCount()) return Match(0);
  return Match(selected_);
}

void CACListWnd::MoveSelection(ListKey key) {
  int count = MatchCount();
  if (count == 0) return;
  selected_ = ::MoveSelection(selected_, key, count, visibleRows_);
  BringIntoView(selected_, AnimatesScrolling(count));
}

void CACListWnd::BringIntoView(int row, bool animated) {
  for (int top : ScrollSteps(topRow_, row, MatchCount(), visibleRows_)) {
    topRow_ = top;
    if (animated) {
      Repaint(true);
      PaintThenWait(window_, kStepMs);
    }
  }
  UpdateScrollBar();
  Repaint(false);
}

void CACListWnd::Repaint(bool now) {
  if (!window_) return;
  InvalidateRect(window_, nullptr, FALSE);
  if (now) UpdateWindow(window_);
}

int CACListWnd::RowAt(int y) const {
  if (y < 0) return -1;
  int row = topRow_ + y / metrics_.rowHeight;
  return row < MatchCount() && y / metrics_.rowHeight < visibleRows_ ? row : -1;
}

RECT CACListWnd::GripRect() const {
  RECT client{};
  GetClientRect(window_, &client);
  int size = GetSystemMetrics(SM_CXVSCROLL);
  return {client.right - size, client.bottom - size, client.right, client.bottom};
}

bool CACListWnd::OnGrip(POINT client) const {
  RECT grip = GripRect();
  return PtInRect(&grip, client) != FALSE;
}

void CACListWnd::Click(int row) {
  BringIntoView(row, true);
  selected_ = row;
  SendMessageW(edit_, kAutoCompleteNotify, kNotifyEntryApplied, kSuggestionListId);
  Repaint(true);
  PaintThenWait(window_, kClickShowMs);
  Hide();
}

void CACListWnd::Scroll(WORD request) {
  int count = MatchCount();
  int top = topRow_;
  switch (request) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= visibleRows_; break;
    case SB_PAGEDOWN: top += visibleRows_; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(scrollBar_, SB_CTL, &info);
      top = info.nTrackPos;
      break;
    }
    default: return;
  }
  top = ClampTopRow(top, count, visibleRows_);
  if (top == topRow_) return;
  SetTopRow(top);
  Repaint(false);
}

LRESULT CALLBACK CACListWnd::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<CACListWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  if (message == WM_NCDESTROY) {
    auto* closing = reinterpret_cast<CACListWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (closing) closing->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  auto* list = reinterpret_cast<CACListWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!list) return DefWindowProcW(window, message, wParam, lParam);
  return list->Handle(message, wParam, lParam);
}

LRESULT CACListWnd::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      Paint(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_SETCURSOR: {
      POINT cursor;
      GetCursorPos(&cursor);
      ScreenToClient(window_, &cursor);
      SetCursor(LoadCursorW(nullptr, OnGrip(cursor) ? IDC_SIZENWSE : IDC_ARROW));
      return TRUE;
    }
    case WM_MOUSEMOVE:
      if (sizing_) {
        POINT screen = at;
        ClientToScreen(window_, &screen);
        RECT field{};
        GetWindowRect(edit_, &field);
        MinimumSize least = MinimumListSize(field.right - field.left, MatchCount(),
                                            metrics_, 2 * GetSystemMetrics(SM_CYVSCROLL) +
                                                          GetSystemMetrics(SM_CYVTHUMB) +
                                                          GetSystemMetrics(SM_CYFRAME));
        long width = std::max(least.width, sizeAtStart_.cx + (screen.x - sizingFrom_.x));
        long height = std::max(least.height, sizeAtStart_.cy + (screen.y - sizingFrom_.y));
        SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
      }
      if (int row = RowAt(at.y); row >= 0 && row != selected_ && !OnGrip(at)) {
        selected_ = row;
        Repaint(false);
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (OnGrip(at)) {
        RECT window{};
        GetWindowRect(window_, &window);
        sizing_ = true;
        sizingFrom_ = at;
        ClientToScreen(window_, &sizingFrom_);
        sizeAtStart_ = {window.right - window.left, window.bottom - window.top};
        SetCapture(window_);
      } else if (int row = RowAt(at.y); row >= 0) {
        Click(row);
      }
      return 0;
    case WM_LBUTTONUP:
      if (sizing_) {
        sizing_ = false;
        ReleaseCapture();
        RECT window{};
        GetWindowRect(window_, &window);
        userWidth_ = window.right - window.left;
        userHeight_ = window.bottom - window.top;
      }
      return 0;
    case WM_RBUTTONDOWN:
      Hide();
      return 0;
    case WM_SIZE:
      Layout();
      SetTopRow(ClampTopRow(topRow_, MatchCount(), visibleRows_));
      Repaint(false);
      return 0;
    case WM_VSCROLL:
      Scroll(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kMoveTimer) {
        RECT now{};
        GetWindowRect(GetParent(edit_), &now);
        if (!EqualRect(&now, &dialogRect_)) Hide();
        return 0;
      }
      break;
    case WM_ACTIVATEAPP:
      Hide();
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        Hide();
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void CACListWnd::Paint(HDC target) {
  RECT client{};
  GetClientRect(window_, &client);
  // Drawn off screen and copied in one go, so that the rows do not flicker.
  // The selections end before the bitmap and the context are deleted.
  const UniqueMemoryDc memory(CreateCompatibleDC(target));
  const UniqueGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
  HDC dc = memory.get();
  const Selection drawnInto(dc, bitmap.get());
  const Selection font(dc, ListFont());
  SetBkMode(dc, TRANSPARENT);

  bool scrollBar = ScrollBarShown();
  RECT scrollRect{};
  if (scrollBar) {
    GetWindowRect(scrollBar_, &scrollRect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&scrollRect), 2);
  }
  RECT area = client;
  if (scrollBar) area.right = scrollRect.left;
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));

  for (int row = topRow_; row < MatchCount(); ++row) {
    int y = metrics_.rowHeight * (row - topRow_);
    if (y >= client.bottom) break;
    RECT line{2, y, area.right, y + metrics_.rowHeight};
    bool selected = row == selected_;
    if (selected) {
      RECT fill{0, y, area.right, y + metrics_.rowHeight};
      FillRect(dc, &fill, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::u16string& text = Match(row);
    DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &line,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
  }
  PaintGrip(dc, client);
  FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWTEXT));

  // The scroll bar paints itself; only the rest is copied.
  if (scrollBar) ExcludeClipRect(target, scrollRect.left, scrollRect.top, scrollRect.right, scrollRect.bottom);
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

void CACListWnd::PaintGrip(HDC dc, const RECT& client) {
  RECT grip = GripRect();
  if (ScrollBarShown()) FillRect(dc, &grip, GetSysColorBrush(COLOR_BTNFACE));
  const int colours[] = {COLOR_WINDOW, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNSHADOW};
  // SelectClipRgn copies the region, so it may go at once.
  SelectClipRgn(dc, UniqueGdiObject<HRGN>(CreateRectRgnIndirect(&grip)).get());
  for (int i = 0; i < kGripLines; ++i) {
    const UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(colours[i % 4])));
    const Selection drawing(dc, pen.get());
    MoveToEx(dc, client.right - 1 - i, client.bottom, nullptr);
    LineTo(dc, client.right, client.bottom - 1 - i);
  }
  SelectClipRgn(dc, nullptr);
}
