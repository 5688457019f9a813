#pragma once
#include <functional>

// Whether a send run is in progress in this process: from the press of a
// send button until the run's report has been dealt with. The one place
// that knows it, asked by the toolbar's commands (no command starts while a
// run is in progress) and by the sending dialogs (a click that reaches them
// meanwhile, posted or sent, starts no second run). Scopes are taken and
// ended on the thread of the dialogs.
class RunInProgress {
 public:
  RunInProgress();
  ~RunInProgress();
  RunInProgress(const RunInProgress&) = delete;
  RunInProgress& operator=(const RunInProgress&) = delete;

  static bool Now();

  // Runs `action` once no run is in progress any more: when the last scope
  // ends, or at once when there is none. A request to quit that a run
  // takes in waits until its report has been seen.
  static void WhenOver(std::function<void()> action);

  // Calls `changed` when a run begins and when the last one ends, until
  // Unwatch with the number returned: the ribbon greys its buttons meanwhile.
  static int Watch(std::function<void()> changed);
  static void Unwatch(int watch);
};
