#pragma once
#include <atomic>
#include <string>

#include "gateway/http_exchange.h"
#include "gateway/http_manager.h"
#include "gateway/sms_message.h"

// The messages of one press of a send button, sent one after another. A
// gateway that cannot be reached or does not answer stops the run: the
// messages after it are not attempted, so a dead gateway costs one
// time-out per run. The user may stop a run too (Escape); the exchange in
// progress is finished first.
class SendRun {
 public:
  enum class StopCause { kNone, kGatewayUnreachable, kGatewayTimedOut, kStoppedByUser };

  // True until the run has stopped.
  bool Active() const { return Cause() == StopCause::kNone; }
  StopCause Cause() const;

  // Sends `message` through `gateway` while the run is active and returns
  // Send's status; stops the run when the exchange found the gateway dead.
  // Once stopped, the message is only marked as not attempted (see
  // MarkNotAttempted) and kStatusFail is returned.
  HResult Send(SMSMessage& message, HTTPManager& gateway);

  // Gives a message that is not attempted its not-sent report line, which
  // says why the run stopped.
  void MarkNotAttempted(SMSMessage& message) const;

  // Safe from any thread; takes effect before the next message.
  void RequestStop();

  // The details of a not-attempted message's report line.
  static std::string NotAttemptedDetails(StopCause cause);

 private:
  std::atomic<StopCause> cause_{StopCause::kNone};
};
