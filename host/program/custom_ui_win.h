#pragma once
#include <windows.h>

#include <oaidl.h>

#include <optional>
#include <string>
#include <vector>

namespace host {

// One button of an add-in's customUI document, with the callbacks it names.
struct CustomUiButton {
  std::wstring id, tag, label, screentip, supertip, keytip;
  std::wstring onAction, getImage;
  bool large = false;
  std::wstring getEnabled;  // empty: always enabled
};

// A group on a built-in tab, or the add-in's part of a built-in context menu
// (`place` is the tab's or menu's idMso).
struct CustomUiGroup {
  std::wstring place, id, label;
  std::vector<CustomUiButton> buttons;
};

struct CustomUi {
  std::wstring onLoad;
  std::vector<CustomUiGroup> groups;
  std::vector<CustomUiGroup> contextMenus;
};

// Parses an add-in's document with the platform's XML parser and checks
// it as Office does before it shows any of it: the customUI namespace,
// tabs and context menus Office knows, ids used once, and every callback a
// name that `addin`'s IDispatch knows. A rejected document gives nullopt
// and the reasons, one line each, as Office's "custom UI error" report
// words them.
std::optional<CustomUi> LoadCustomUi(const std::wstring& xml, IDispatch* addin, std::vector<std::wstring>& errors);

}  // namespace host
