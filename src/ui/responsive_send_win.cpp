#include "ui/responsive_send_win.h"

#include <process.h>

#include <atomic>

namespace {

std::atomic<int> g_runsInProgress{0};

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

// The exchange and what it gave, shared with the worker thread for the
// length of one wait.
struct Job {
  const std::function<HttpReply()>* exchange;
  HttpReply reply;
};

unsigned __stdcall RunJob(void* argument) {
  auto* job = static_cast<Job*>(argument);
  try {
    job->reply = (*job->exchange)();
  } catch (...) {
    job->reply = HttpReply{};  // counts as unreachable: nothing was sent
  }
  return 0;
}

}  // namespace

ResponsiveSend::ResponsiveSend(HWND dialog) : dialog_(dialog) {
  ++g_runsInProgress;
  busy_.emplace(dialog);
}

ResponsiveSend::~ResponsiveSend() {
  // What the user typed or clicked while the run sent was never meant for
  // what the window shows after it.
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  busy_.reset();
  --g_runsInProgress;
}

bool ResponsiveSend::SendInProgress() { return g_runsInProgress.load() > 0; }

std::unique_ptr<HTTPManager> ResponsiveSend::MakeGateway(Settings& settings, const CodePage& codePage,
                                                         const Clock& clock, DWORD timeoutMs) {
  return std::make_unique<HTTPManager>(
      settings, codePage, clock,
      std::make_unique<WaitedExchange>(std::make_unique<WinInetExchange>(timeoutMs),
                                       static_cast<ExchangeWaiter&>(*this)));
}

HttpReply ResponsiveSend::Wait(const std::function<HttpReply()>& exchange) {
  Job job{&exchange, {}};
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunJob, &job, 0, nullptr));
  // Without a worker the exchange runs here: slower to the eye, but sent.
  if (!thread) return exchange();
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
    MSG message;
    // Sent messages are dispatched inside PeekMessage itself.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        quitCode = message.wParam;
        break;
      }
      if (IsInput(message.message)) {
        if (IsEscapeIn(message, dialog_)) run_.RequestStop();
        continue;
      }
      DispatchMessageW(&message);
    }
  }
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  // The modal loop that owns the thread must still see the quit request.
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return job.reply;
}
