#include "ui/modal_dialog_win.h"

#include "ui/dialog_placement.h"
#include "ui/module_instance.h"

namespace {

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

INT_PTR ModalDialog::DoModal(HWND owner) {
  failure_ = nullptr;
  INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId_), owner, Procedure,
                                   reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  if (failure_) std::rethrow_exception(failure_);
  return result;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->window_ = window;
  }
  auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!dialog) return FALSE;
  try {
    return dialog->Handle(message, wParam);
  } catch (...) {
    dialog->failure_ = std::current_exception();
    EndDialog(window, IDCANCEL);
    return TRUE;
  }
}

INT_PTR ModalDialog::Handle(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOverOwner();
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

void ModalDialog::CenterOverOwner() {
  RECT dialog{};
  GetWindowRect(window_, &dialog);
  HWND owner = GetWindow(window_, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner ? owner : window_, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT ownerRect{};
  ScreenRect ownerArea;
  bool hasOwner = owner && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &ownerRect);
  if (hasOwner) ownerArea = ToScreenRect(ownerRect);
  ScreenRect placed =
      CenteredDialog(ToScreenRect(dialog), hasOwner ? &ownerArea : nullptr, ToScreenRect(monitor.rcWork));
  SetWindowPos(window_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalDialog::Close(INT_PTR result) { EndDialog(window_, result); }

std::u16string ModalDialog::ItemText(int id) const {
  HWND item = GetDlgItem(window_, id);
  int length = GetWindowTextLengthW(item);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(item, text.data(), length + 1);
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), static_cast<size_t>(copied));
}

void ModalDialog::SetItemText(int id, const std::u16string& text) {
  SetDlgItemTextW(window_, id, reinterpret_cast<const wchar_t*>(text.c_str()));
}

bool ModalDialog::IsChecked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }

void ModalDialog::SetChecked(int id, bool checked) {
  CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ModalDialog::EnableItem(int id, bool enabled) { EnableWindow(GetDlgItem(window_, id), enabled); }
