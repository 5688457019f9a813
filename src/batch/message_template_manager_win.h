#pragma once
#include <string>

#include "ui/modal_dialog_win.h"
#include "store/settings.h"

// "Message templates": lists the saved templates, shows the selected one's
// text for editing, and saves it into that template or as a new one. Every
// save is written to the settings at once, so Cancel undoes nothing; a save
// the settings refuse is told to the user, the text staying as typed.
class CMessageTemplateManager : public ModalDialog {
 public:
  explicit CMessageTemplateManager(Settings& settings);

  // The stored text of the selected template, for the caller after OK.
  // Unsaved edits in the dialog are not part of it.
  const std::u16string& CurrentText() const { return currentText_; }

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void ShowSelectedTemplate();
  void SaveChanges();
  void SaveAsNew();
  // A message box: what failed, the store's reason, and what the user can
  // do next (if anything).
  void Tell(const std::u16string& what, HResult status, const std::u16string& next);

  Settings& settings_;
  // 0-based position in the list; the template number is one more.
  int selected_ = 0;
  std::u16string currentText_;
};
