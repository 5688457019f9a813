#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "batch/reminder_run.h"
#include "store/sending_options.h"
#include "ui/anchored_layout_win.h"
#include "ui/dialog_hook_win.h"
#include "ui/modal_dialog_win.h"

// "Preview of the reminders": one row per reminder a run would send, in a
// virtual list (a run can have thousands) whose check boxes the dialog
// keeps. New reminders start checked; any row with a number can be
// checked, a contact without one or who opted out cannot. The user picks
// how the run delivers from the ways the batch dialog offers. "Send
// checked" closes with IDC_PREVIEW_SEND; the caller then sends Chosen().
class CReminderPreview : public ModalDialog {
 public:
  // `modes` are the delivery choices with their captions; `initial` the
  // one shown first.
  CReminderPreview(ReminderPlan& plan, std::vector<std::pair<std::wstring, SendMode>> modes, std::size_t initial,
                   const SendingOptions& options);
  ~CReminderPreview() override;

  // The checked rows' positions in the plan, in the list's order.
  std::vector<std::size_t> Chosen() const;

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  bool OnNotify(const NMHDR& header, LRESULT& result);

  void AddColumns();
  void MakeCheckImages();
  void FillItem(NMLVDISPINFOW& info);
  int FindRow(const LVFINDINFOW& find, int start) const;
  void Toggle(int item);
  void ToggleSelected();
  void ShowTotals();
  HWND List() const;

  ReminderPlan& plan_;
  std::vector<std::pair<std::wstring, SendMode>> modes_;
  std::size_t initial_;
  SendingOptions options_;
  std::vector<bool> checked_;
  std::wstring cell_;  // the text the list is reading, alive until it asks again
  HIMAGELIST checkImages_ = nullptr;
  int textColumnLeast_ = 0;  // in pixels
  DialogHook hook_;
  AnchoredLayout layout_;
};
