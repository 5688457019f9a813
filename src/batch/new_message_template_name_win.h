#pragma once
#include <string>

#include "ui/modal_dialog_win.h"

// "New message template name": asks for the name of a template about to be
// saved. Any non-empty text is a name, blanks included; names need not be
// unique.
class CNewMessageTemplateName : public ModalDialog {
 public:
  CNewMessageTemplateName();

  // The typed name, after OK.
  const std::u16string& Name() const { return name_; }

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void UpdateOkButton();

  std::u16string name_;
};
