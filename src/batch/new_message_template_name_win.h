#pragma once
#include <string>

#include "store/settings.h"
#include "ui/modal_dialog_win.h"

// "New message template name": asks for the name of a new template and, on
// OK, stores the template under it. Any non-empty text is a name, blanks
// included; names need not be unique. A store that refuses the template is
// told to the user, and the dialog stays open with the typed name.
class CNewMessageTemplateName : public ModalDialog {
 public:
  CNewMessageTemplateName(Settings& settings, std::u16string text);

  // The typed name, after OK.
  const std::u16string& Name() const { return name_; }

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void UpdateOkButton();
  void Store();

  Settings& settings_;
  std::u16string text_;
  std::u16string name_;
};
