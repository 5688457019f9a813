#include "ui/responsive_send_win.h"

#include "ui/run_in_progress.h"

namespace {

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_NCMOUSEHOVER ||
         message == WM_NCMOUSELEAVE || message == WM_MOUSEHOVER || message == WM_MOUSELEAVE;
}

bool IsEscapeIn(const MSG& message, HWND dialog) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  return message.hwnd == dialog || IsChild(dialog, message.hwnd);
}

}  // namespace

ResponsiveSend::ResponsiveSend(HWND dialog) : dialog_(dialog) { busy_.emplace(dialog); }

ResponsiveSend::~ResponsiveSend() {
  // What the user typed or clicked while the run sent was never meant for
  // what the window shows after it.
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  busy_.reset();
  if (quitCode_) {
    const int code = static_cast<int>(*quitCode_);
    RunInProgress::WhenOver([code] { PostQuitMessage(code); });
  }
}

std::unique_ptr<HTTPManager> ResponsiveSend::MakeGateway(Settings& settings, const CodePage& codePage,
                                                         const Clock& clock, DWORD timeoutMs) {
  return std::make_unique<HTTPManager>(settings, codePage, clock,
                                       std::make_unique<WinInetExchange>(timeoutMs, this));
}

bool ResponsiveSend::Wait(HANDLE done, DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = static_cast<DWORD>(now < deadline ? deadline - now : 0);
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;  // the deadline, or a wait that failed
    MSG message;
    // Sent messages are dispatched inside PeekMessage itself.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The mail client is closing: what is not sent yet stays unsent.
        quitCode_ = message.wParam;
        run_.RequestStop();
        continue;
      }
      if (IsInput(message.message)) {
        if (IsEscapeIn(message, dialog_)) run_.RequestStop();
        continue;
      }
      DispatchMessageW(&message);
    }
  }
}
