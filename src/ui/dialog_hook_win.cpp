#include "ui/dialog_hook_win.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kHookId = 0x5153;

}  // namespace

DialogHook::~DialogHook() { Detach(); }

void DialogHook::Attach(HWND dialog, Handler handler) {
  Detach();
  handler_ = std::move(handler);
  if (SetWindowSubclass(dialog, Procedure, kHookId, reinterpret_cast<DWORD_PTR>(this))) dialog_ = dialog;
}

void DialogHook::Detach() {
  if (dialog_) RemoveWindowSubclass(dialog_, Procedure, kHookId);
  dialog_ = nullptr;
}

LRESULT CALLBACK DialogHook::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
  auto* hook = reinterpret_cast<DialogHook*>(self);
  if (message == WM_NCDESTROY) {
    hook->Detach();
    return DefSubclassProc(window, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (hook->handler_ && hook->handler_(message, wParam, lParam, result)) return result;
  return DefSubclassProc(window, message, wParam, lParam);
}
