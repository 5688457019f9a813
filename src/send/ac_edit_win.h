#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "send/ac_list_wnd_win.h"

// The recipients field: an edit that proposes, while the user types, the
// entries that begin with the recipient around the caret, and replaces
// only that recipient with the one chosen.
class CACEdit {
 public:
  CACEdit() = default;
  ~CACEdit();
  CACEdit(const CACEdit&) = delete;
  CACEdit& operator=(const CACEdit&) = delete;

  // Takes over the dialog's edit and creates the hidden suggestion list.
  void Init(HWND edit);
  // The text is a list of recipients joined by `separator`.
  void SetSeparatorMode(const std::u16string& separator);
  void SetEntries(std::vector<std::u16string> entries);

  // The dialog hands on its edit's change notices: every change of the
  // text, whoever made it, ends here.
  void OnTextChanged();

  CACListWnd& List() { return list_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  std::u16string Text() const;
  size_t Caret() const;
  void ApplySelectedEntry();
  void FinishRecipient();
  void Notify(WPARAM code);

  CACListWnd list_;
  HWND edit_ = nullptr;
  std::u16string text_;
  std::u16string separator_;
  bool busy_ = false;
  bool initialised_ = false;
  bool swallowChar_ = false;
};
