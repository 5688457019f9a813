#pragma once
#include <windows.h>

#include <memory>
#include <optional>

#include "gateway/cursor_helper_win.h"
#include "gateway/send_run.h"
#include "gateway/wininet_exchange_win.h"

// The scope of one send run's sending in a dialog. While it lives:
// - the busy indicator (CCursorHelper) is on the dialog;
// - while an exchange of a gateway made by MakeGateway is under way (on a
//   thread of the system's pool), this thread waits for it by dispatching
//   paint, timers and messages sent or posted by other threads; keyboard
//   and mouse input is dropped, except that Escape in the dialog stops the
//   run (after the exchange in progress);
// - a request to quit (WM_QUIT) stops the run as Escape does and is held:
//   once the run is over (RunInProgress), after its report, it is posted
//   again for the mail client's own loop.
// Input left in the queue when the run ends is dropped too, never replayed.
// That a run is in progress at all is RunInProgress's to say.
class ResponsiveSend : public ExchangeWait {
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

  // Waits for an exchange as MakeGateway's exchanges do.
  bool Wait(HANDLE done, DWORD ms) override;

 private:
  HWND dialog_;
  SendRun run_;
  std::optional<CCursorHelper> busy_;
  std::optional<WPARAM> quitCode_;
};
