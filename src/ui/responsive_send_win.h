#pragma once
#include <windows.h>

#include <memory>
#include <optional>

#include "gateway/cursor_helper_win.h"
#include "gateway/send_run.h"
#include "gateway/wininet_exchange_win.h"

// The scope of one send run in a dialog. While it lives:
// - the busy indicator (CCursorHelper) is on the dialog;
// - every exchange of a gateway made by MakeGateway runs on a worker
//   thread while this thread keeps dispatching paint, timers and messages
//   sent or posted by other threads; keyboard and mouse input is dropped,
//   except that Escape in the dialog stops the run (after the exchange in
//   progress);
// - SendInProgress() is true, so that no toolbar command and no dialog
//   button starts a second run.
// Input left in the queue when the run ends is dropped too, never replayed.
class ResponsiveSend : private ExchangeWaiter {
 public:
  explicit ResponsiveSend(HWND dialog);
  ~ResponsiveSend() override;
  ResponsiveSend(const ResponsiveSend&) = delete;
  ResponsiveSend& operator=(const ResponsiveSend&) = delete;

  SendRun& Run() { return run_; }

  // A gateway client whose exchanges do not hold this thread.
  std::unique_ptr<HTTPManager> MakeGateway(Settings& settings, const CodePage& codePage,
                                           const Clock& clock,
                                           DWORD timeoutMs = WinInetExchange::kDefaultTimeoutMs);

  // True while any run of this process is in progress.
  static bool SendInProgress();

 private:
  HttpReply Wait(const std::function<HttpReply()>& exchange) override;

  HWND dialog_;
  SendRun run_;
  std::optional<CCursorHelper> busy_;
};
