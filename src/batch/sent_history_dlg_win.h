#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "store/history_view.h"
#include "store/settings_manager.h"
#include "ui/anchored_layout_win.h"
#include "ui/dialog_hook_win.h"
#include "ui/modal_dialog_win.h"
#include "ui/save_file_win.h"

// "Sent messages": every entry of the history, accepted and uncertain,
// newest first, in a virtual list that sorts by any column and narrows as
// the user types. Entries can be removed (so that their reminders go again
// without a question) and the list exported as CSV. Removal saves the
// history at once, merged with its file.
class CSentHistory : public ModalDialog {
 public:
  CSentHistory(SettingsManager& store, const CodePage& codePage, const Clock& clock,
               ChooseSavePath chooseSavePath = AskSavePathForCsv);
  ~CSentHistory() override;

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  bool OnNotify(const NMHDR& header, LRESULT& result);

  void AddColumns();
  void FillTextColumn();
  void Reload();
  void ShowRows();
  void FillItem(NMLVDISPINFOW& info);
  void SortByColumn(int column);
  void RemoveSelected();
  void RemoveBeforeDate();
  void Remove(const EntryFilter& removed);
  void Export();
  HWND List() const;

  SettingsManager& store_;
  const CodePage& codePage_;
  const Clock& clock_;
  ChooseSavePath chooseSavePath_;
  std::u16string title_;
  std::unique_ptr<HistoryTable> table_;
  std::vector<HistoryColumn> columns_;
  HistoryColumn sortColumn_ = HistoryColumn::When;
  bool ascending_ = false;
  std::wstring cell_;  // the text the list is reading, alive until it asks again
  DialogHook hook_;
  AnchoredLayout layout_;
};
