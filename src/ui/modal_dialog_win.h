#pragma once
#include <windows.h>

#include <exception>
#include <string>

// A modal dialog on one of the module's templates. Subclasses decide; this
// runs the template, opens it centred over its owner and keeps exceptions
// of handlers from unwinding through the system's dialog code: the dialog
// closes and DoModal throws them again to its caller.
class ModalDialog {
 public:
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // The id of the button that closed the dialog.
  INT_PTR DoModal(HWND owner);

 protected:
  explicit ModalDialog(int templateId) : templateId_(templateId) {}

  // Returns true to let the default focus apply.
  virtual bool OnInitDialog() = 0;
  // True when the command was handled.
  virtual bool OnCommand(int id, int notification) = 0;

  HWND Window() const { return window_; }
  void Close(INT_PTR result);
  std::u16string ItemText(int id) const;
  void SetItemText(int id, const std::u16string& text);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);
  void EnableItem(int id, bool enabled);

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam);
  void CenterOverOwner();

  int templateId_;
  HWND window_ = nullptr;
  std::exception_ptr failure_;
};
