#pragma once
#include <string>

#include "ui/modal_dialog_win.h"
#include "send/contact_directory.h"
#include "ui/dialog_hook_win.h"

// "Choose Contacts": the directory in a table, from which "To-->" or a
// double-click adds the selected contact to the recipients text.
class ChooseContacts : public ModalDialog {
 public:
  ChooseContacts(std::u16string recipients, ContactDirectory::Entries entries);

  // Runs the dialog with no owner; IDOK or IDCANCEL.
  INT_PTR Run();
  // After OK, the recipients text the user accepted.
  const std::u16string& Result() const { return result_; }

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void FillTable();
  void AppendSelected();
  std::u16string CellText(int row, int column) const;

  std::u16string result_;
  ContactDirectory::Entries entries_;
  HWND table_ = nullptr;
  DialogHook hook_;
};
