#pragma once
#include <string>
#include <vector>

#include "ui/modal_dialog_win.h"
#include "send/contact_directory.h"
#include "ui/dialog_hook_win.h"

// "Choose Contacts": the directory in a table, from which "To-->" or a
// double-click adds the selected contact to the recipients text.
class ChooseContacts : public ModalDialog {
 public:
  ChooseContacts(std::u16string recipients, ContactDirectory::Entries entries);

  // Runs the dialog owned by `owner`, which it disables meanwhile, so that
  // the send dialog cannot be used or closed under it; IDOK or IDCANCEL.
  INT_PTR Run(HWND owner);
  // After OK, the recipients text the user accepted.
  const std::u16string& Result() const { return result_; }

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void FillTable();
  void AppendSelected();

  std::u16string result_;
  ContactDirectory::Entries entries_;
  std::vector<std::u16string> rowKeys_;  // each row's key, by the row's item data
  HWND table_ = nullptr;
  DialogHook hook_;
};
