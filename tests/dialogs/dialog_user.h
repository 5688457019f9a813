#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Drives real dialogs as a user would, from a second thread while the
// dialog's own thread runs its modal loop: every action is a window message
// the controls handle themselves, so notifications reach the dialog exactly
// as they do for a person at the keyboard. Failed expectations are reported
// through GoogleTest.
class DialogUser {
 public:
  explicit DialogUser(DWORD dialogThread) : dialogThread_(dialogThread) {}
  // For dialogs of another process: the first dialog found decides the
  // thread.
  DialogUser() = default;

  // The visible dialog (or message box) with this title on the dialog's
  // thread, or anywhere on the desktop when no thread is given; nullptr
  // after the timeout.
  HWND WaitForDialog(const std::wstring& title, DWORD timeoutMs = 10000) const;
  // The visible message box of `dialog`: a window captioned `caption` (the
  // dialog's title, which its boxes carry; a run adds a suffix to the
  // dialog's own) that is not the dialog, on the dialog's thread (on the
  // whole desktop for a dialog of another process); nullptr, and a
  // failure, after the timeout.
  HWND WaitForMessageBox(HWND dialog, const std::wstring& caption, DWORD timeoutMs = 15000) const;
  // The same message box if it is up now; nullptr, and no failure, if not.
  HWND FindMessageBox(HWND dialog, const std::wstring& caption) const;
  // The visible shortcut menu; nullptr, and a failure, after the timeout.
  HWND WaitForPopupMenu(DWORD timeoutMs = 10000) const;
  // Chooses the item at `position` (from 0) of the open shortcut menu of
  // `owner`'s thread with the keyboard, as Down and Enter do, without
  // waiting for what the item opens.
  void ChooseMenuItem(HWND owner, int position) const;
  // True once `dialog` is gone.
  bool WaitUntilClosed(HWND dialog, DWORD timeoutMs = 10000) const;

  // Clicks into the edit and types `text` character by character.
  void Type(HWND dialog, int id, const std::wstring& text) const;
  // Selects the edit's whole text and deletes it.
  void Clear(HWND dialog, int id) const;
  // Clicks a button, check box or radio button; fails (and does nothing)
  // when the control is hidden or disabled, as a mouse click would.
  bool Click(HWND dialog, int id) const;
  // Presses `button` (of any window, a main window's too) and returns at
  // once: a press that opens a modal dialog returns only once the dialog
  // is closed, which a script waiting for it would never do.
  void PostClick(HWND button) const;
  // Presses a key in the control that has the focus (Esc, Enter, Tab...)
  // and returns once the dialog's thread has handled it.
  void PressKey(UINT virtualKey) const;
  // Returns once the thread of `window` has handled the messages posted to
  // it so far.
  void WaitUntilHandled(HWND window) const;
  // The close box of the caption.
  void CloseFromCaption(HWND dialog) const;
  // Picks the entry showing `text` in a combo box, list box or list view
  // (as the only selected item) and tells the dialog, as a selection with
  // the mouse does; false when there is none.
  bool Select(HWND dialog, int id, const std::wstring& text) const;

  std::wstring Text(HWND dialog, int id) const;
  bool IsChecked(HWND dialog, int id) const;
  bool IsEnabled(HWND dialog, int id) const;
  // The text of a list view's cell (column 0 is the item itself).
  std::wstring CellText(HWND dialog, int id, int item, int column) const;
  // The text of a message box.
  std::wstring MessageText(HWND messageBox) const;

  // When DIALOG_SCREENSHOTS names a folder, saves the screen there as
  // <name>.png (with the host's `import`) for a person to look at.
  void Screenshot(const std::wstring& name) const;

 private:
  HWND FocusedWindow() const;
  bool SelectListViewItem(HWND list, int id, const std::wstring& text) const;

  mutable DWORD dialogThread_ = 0;
};

// Runs `open` on this thread, which shows a modal dialog and returns its
// result, while `script` plays the user on a second thread. A dialog the
// script leaves open is cancelled so that the test never hangs.
INT_PTR RunWithUser(const std::function<INT_PTR()>& open, const std::function<void(DialogUser&)>& script);
