#pragma once

// Whether a send run is in progress in this process: from the press of a
// send button until the run's report has been dealt with. The one place
// that knows it, asked by the toolbar's commands (no command starts while a
// run is in progress), by the sending dialogs (a click that reaches them
// meanwhile, posted or sent, starts no second run) and by the add-in's
// disconnection (the gateway connection stays while a run uses it).
class RunInProgress {
 public:
  RunInProgress();
  ~RunInProgress();
  RunInProgress(const RunInProgress&) = delete;
  RunInProgress& operator=(const RunInProgress&) = delete;

  static bool Now();
};
