#pragma once
#include "ui/modal_dialog_win.h"
#include "store/settings.h"

#include <string>

// "SMS plugin options": the gateway account and the sending options, read
// from the settings when it opens and written back by OK.
class CSMSPluginOptions : public ModalDialog {
 public:
  explicit CSMSPluginOptions(Settings& settings);

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void UpdateOkButton();
  // False, the user told why, when the settings refused the values.
  bool Save();

  Settings& settings_;
  std::u16string shownOptOutCategory_;
};
