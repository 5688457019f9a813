#include "program/main_window_win.h"

#include <commctrl.h>

namespace host {

namespace {

constexpr wchar_t kClassName[] = L"QuorvalMailStandInMainWindow";
constexpr int kRowHeight = 36, kLabelWidth = 170, kButtonWidth = 170, kMargin = 8;
constexpr WORD kFirstButtonId = 1000;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

bool MainWindow::Create(const std::wstring& title) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // a second window reuses the class
  window_ = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 720, 240, nullptr, nullptr, wc.hInstance, this);
  if (!window_) return false;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_ = CreateFontIndirectW(&metrics.lfMessageFont);
  tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                              nullptr, wc.hInstance, nullptr);
  AddRows();
  return true;
}

void MainWindow::AddRows() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto toolbars = client_.Toolbars();
  tooltipTexts_.reserve(64);
  int y = kMargin;
  for (size_t t = 0; t < toolbars.size(); ++t) {
    if (!toolbars[t].visible) continue;
    HWND label = CreateWindowExW(0, L"STATIC", Wide(toolbars[t].name).c_str(),
                                 WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, kMargin, y, kLabelWidth,
                                 kRowHeight - 8, window_, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    int x = kMargin + kLabelWidth;
    for (size_t b = 0; b < toolbars[t].buttons.size(); ++b) {
      const auto& state = toolbars[t].buttons[b];
      if (!state.visible) continue;
      const WORD id = static_cast<WORD>(kFirstButtonId + buttons_.size());
      HWND button = CreateWindowExW(
          0, L"BUTTON", Wide(state.caption).c_str(),
          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | (state.enabled ? 0 : WS_DISABLED),
          x, y, kButtonWidth, kRowHeight - 8, window_,
          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
      tooltipTexts_.push_back(Wide(state.tooltipText));
      TTTOOLINFOW tool = {};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = window_;
      tool.uId = reinterpret_cast<UINT_PTR>(button);
      tool.lpszText = tooltipTexts_.back().data();
      SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
      buttons_.push_back({button, t, b, state.tag});
      x += kButtonWidth + kMargin;
    }
    y += kRowHeight;
  }
}

bool MainWindow::Press(const std::u16string& tag) {
  for (const auto& shown : buttons_) {
    if (shown.tag == tag) {
      SendMessageW(shown.window, BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

std::vector<std::wstring> MainWindow::ShownCaptions() const {
  std::vector<std::wstring> captions;
  for (const auto& shown : buttons_) {
    wchar_t text[256] = {};
    GetWindowTextW(shown.window, text, static_cast<int>(std::size(text)));
    captions.emplace_back(text);
  }
  return captions;
}

void MainWindow::OnCommand(WORD id) {
  if (id < kFirstButtonId || id >= kFirstButtonId + buttons_.size()) return;
  const ShownButton& shown = buttons_[id - kFirstButtonId];
  client_.Click(shown.toolbar, shown.button);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (self && HIWORD(wParam) == BN_CLICKED) self->OnCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (self) self->window_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace host
