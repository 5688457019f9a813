#include "gateway/send_run.h"

SendRun::StopCause SendRun::Cause() const { return cause_.load(); }

void SendRun::RequestStop() {
  StopCause none = StopCause::kNone;
  cause_.compare_exchange_strong(none, StopCause::kStoppedByUser);
}

HResult SendRun::Send(SMSMessage& message, HTTPManager& gateway) {
  if (!Active()) {
    MarkNotAttempted(message);
    return kStatusFail;
  }
  const HResult status = message.Send(gateway);
  if (status != kStatusOk) {
    StopCause dead = StopCause::kNone;
    switch (gateway.LastOutcome().value_or(HttpReply::Outcome::kAnswered)) {
      case HttpReply::Outcome::kUnreachable:
        dead = StopCause::kGatewayUnreachable;
        break;
      case HttpReply::Outcome::kTimedOut:
        dead = StopCause::kGatewayTimedOut;
        break;
      default:
        break;
    }
    // A stop the user asked for during this exchange stays the reason.
    StopCause none = StopCause::kNone;
    if (dead != StopCause::kNone) cause_.compare_exchange_strong(none, dead);
  }
  return status;
}

void SendRun::MarkNotAttempted(SMSMessage& message) const {
  message.SetNotAttempted(NotAttemptedDetails(Cause()));
}

std::string SendRun::NotAttemptedDetails(StopCause cause) {
  switch (cause) {
    case StopCause::kGatewayUnreachable:
      return "The run was stopped because the SMS gateway could not be reached.";
    case StopCause::kGatewayTimedOut:
      return "The run was stopped because the SMS gateway did not answer in time.";
    case StopCause::kStoppedByUser:
    case StopCause::kNone:
      break;
  }
  return "The run was stopped before this message was sent.";
}
