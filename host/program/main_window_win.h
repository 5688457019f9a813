#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "program/addin_ribbon_win.h"
#include "standin/stand_in.h"

namespace host {

// The client's main window: one row per visible toolbar the add-ins made,
// its name and its visible buttons (caption, tooltip). Pressing a button
// fires its Click to the add-ins' sinks. With add-in ribbons it also shows
// their groups of the first tab (images, labels, screen tips) above the
// toolbars, and the contacts folder, whose selection has the add-ins'
// context menu items (right click).
class MainWindow {
 public:
  explicit MainWindow(standin::StandIn& client) : client_(client) {}
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Ribbons to show; before Create.
  void AddRibbon(const AddinRibbon& ribbon) { ribbons_.push_back(&ribbon); }
  bool Create(const std::wstring& title);
  HWND Handle() const { return window_; }
  // Presses the first shown button with this tag as a user would; false
  // when no shown button has it.
  bool Press(const std::u16string& tag);
  // The captions the window shows, in order.
  std::vector<std::wstring> ShownCaptions() const;
  // Presses the shown ribbon button with this id; false when none has it.
  bool PressRibbon(const std::wstring& id);
  // Selects these contacts in the list (positions in the folder, from 0),
  // as a user does with Ctrl and the mouse.
  void SelectContacts(const std::vector<size_t>& positions);
  // Chooses the context menu item with this id on the selected contacts,
  // as a right click and a click on the item do; false when no item has it.
  bool ChooseFromContextMenu(const std::wstring& id);
  // Opens the selection's context menu where a right click would; returns
  // once the menu is closed.
  void OpenContextMenu();

 private:
  struct ShownButton {
    HWND window;
    size_t toolbar, button;
    std::u16string tag;
  };

  struct ShownRibbonButton {
    HWND window;
    const AddinRibbon* ribbon;
    const CustomUiButton* button;
  };

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  int AddRibbonGroups();
  void AddRows(int top);
  void AddContactList(int top);
  void AddTooltip(HWND control, std::wstring text);
  void OnCommand(WORD id, WORD notification);
  void DrawRibbonButton(const DRAWITEMSTRUCT& item) const;
  void DrawMenuImage(const DRAWITEMSTRUCT& item) const;
  // Asks each ribbon button's getEnabled, as the client does at first
  // show and when the add-in invalidates its ribbon.
  void RefreshEnabled() const;
  void Report(const AddinRibbon& ribbon, const CustomUiButton& button, HRESULT hr) const;

  standin::StandIn& client_;
  HWND window_ = nullptr;
  HWND tooltips_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<ShownButton> buttons_;
  std::vector<std::wstring> tooltipTexts_;
  std::vector<const AddinRibbon*> ribbons_;
  std::vector<ShownRibbonButton> ribbonButtons_;
  // The items of the open context menu, by position from kFirstMenuItemId.
  std::vector<std::pair<const AddinRibbon*, const CustomUiButton*>> menuItems_;
  HWND contacts_ = nullptr;
  // Gone with the window, for the callbacks given to the ribbons.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace host
