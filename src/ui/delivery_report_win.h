#pragma once
#include <windows.h>

#include <string>

#include "platform/prompt_win.h"
#include "ui/anchored_layout_win.h"
#include "ui/dialog_hook_win.h"
#include "ui/modal_dialog_win.h"

// The delivery report of a run too long for a message box: a summary
// line, the report in a read-only scrolling text with the lines that were
// not sent first, "Copy" and OK.
class DeliveryReportDialog : public ModalDialog {
 public:
  DeliveryReportDialog(std::u16string report, std::u16string caption);

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  void CopyToClipboard();

  std::u16string report_;
  std::u16string caption_;
  std::u16string shown_;
  DialogHook hook_;
  AnchoredLayout layout_;
};

// Whether the report, shown in a message box, would fit the work area of
// the monitor that `owner` is on.
bool ReportFitsMessageBox(HWND owner, const std::u16string& report);

// The product's message boxes, with the delivery report in the dialog
// above once it is too tall for one.
class ReportingPrompt : public MessageBoxPrompt {
 public:
  explicit ReportingPrompt(HWND owner) : MessageBoxPrompt(owner), owner_(owner) {}
  void ShowReport(const std::u16string& report, const std::u16string& caption) override;

 private:
  HWND owner_;
};
