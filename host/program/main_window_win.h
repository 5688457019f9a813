#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "standin/stand_in.h"

namespace host {

// The client's main window: one row per visible toolbar the add-ins made,
// its name and its visible buttons (caption, tooltip). Pressing a button
// fires its Click to the add-ins' sinks.
class MainWindow {
 public:
  explicit MainWindow(standin::StandIn& client) : client_(client) {}
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  bool Create(const std::wstring& title);
  HWND Handle() const { return window_; }
  // Presses the first shown button with this tag as a user would; false
  // when no shown button has it.
  bool Press(const std::u16string& tag);
  // The captions the window shows, in order.
  std::vector<std::wstring> ShownCaptions() const;

 private:
  struct ShownButton {
    HWND window;
    size_t toolbar, button;
    std::u16string tag;
  };

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void AddRows();
  void OnCommand(WORD id);

  standin::StandIn& client_;
  HWND window_ = nullptr;
  HWND tooltips_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<ShownButton> buttons_;
  std::vector<std::wstring> tooltipTexts_;
};

}  // namespace host
