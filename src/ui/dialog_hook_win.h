#pragma once
#include <windows.h>

#include <functional>

// Messages of a dialog that the modal frame does not hand to its
// subclasses (notifications of common controls, private messages), seen
// before the dialog procedure. The handler returns true when it handled
// the message and sets the result.
class DialogHook {
 public:
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

  DialogHook() = default;
  ~DialogHook();
  DialogHook(const DialogHook&) = delete;
  DialogHook& operator=(const DialogHook&) = delete;

  void Attach(HWND dialog, Handler handler);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR self);
  void Detach();

  HWND dialog_ = nullptr;
  Handler handler_;
};
