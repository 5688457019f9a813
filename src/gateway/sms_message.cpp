#include "gateway/sms_message.h"

#include "gateway/phone_number.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Everything after the last comma, or nullopt when there is no comma.
std::optional<std::string> AfterLastComma(const std::string& reply) {
  const auto comma = reply.rfind(',');
  if (comma == std::string::npos) return std::nullopt;
  return reply.substr(comma + 1);
}

// A rejection's details follow its sixth comma and end where a summary
// line begins. With fewer fields the text after the last comma is the best
// guess at a reason.
std::string RejectionDetails(const std::string& reply) {
  std::size_t position = std::string::npos;
  std::size_t from = 0;
  for (int commas = 0; commas < 6; ++commas) {
    const auto comma = reply.find(',', from);
    if (comma == std::string::npos) break;
    position = comma;
    from = comma + 1;
  }
  if (position == std::string::npos) return {};
  std::string details = reply.substr(position + 1);
  return details.substr(0, details.find("summary"));
}

}  // namespace

SMSMessage::SMSMessage(const CodePage& codePage, const Clock& clock, ContactRef contact,
                       std::string text, double sendTime, std::string historyKey)
    : codePage_(codePage),
      clock_(clock),
      contact_(std::move(contact)),
      text_(std::move(text)),
      sendTime_(sendTime),
      historyKey_(std::move(historyKey)) {}

SMSMessage::~SMSMessage() = default;

const std::string& SMSMessage::GetPhoneNumber() {
  if (!phoneNumber_.empty() || !contact_) return phoneNumber_;
  // An empty number is as good as none: the client may give either.
  auto number = contact_->MobileTelephoneNumber();
  if (!number || number->empty()) number = contact_->PrimaryTelephoneNumber();
  if (number) phoneNumber_ = NormalisePhoneNumber(*number, codePage_);
  return phoneNumber_;
}

HResult SMSMessage::Send(HTTPManager& gateway) {
  if (GetPhoneNumber().empty()) {
    ParseReply(kNoPhoneNumberReply);
    return kStatusOk;
  }
  std::string answer;
  const HResult status = gateway.SendRequest(phoneNumber_, text_, sendTime_, answer);
  if (status == kStatusOk) {
    ParseReply(answer);
  } else if (gateway.RequestMayHaveArrived()) {
    SetMaybeNotSent(ContactName(), gateway.FailureDetails());
  } else {
    SetNotSent(ContactName(), gateway.FailureDetails());
  }
  return status;
}

void SMSMessage::ParseReply(const std::string& reply) {
  reply_ = reply;
  const std::u16string name = ContactName();
  if (StartsWith(reply, "accepted")) {
    accepted_ = true;
    if (auto details = AfterLastComma(reply)) successDetails_ = *details;
    SetReport(name, " was sent successfully. Details: " + successDetails_);
  } else if (StartsWith(reply, "error")) {
    if (auto details = AfterLastComma(reply)) failureDetails_ = *details;
    SetNotSent(name, failureDetails_);
  } else if (StartsWith(reply, "rejected")) {
    SetNotSent(name, RejectionDetails(reply));
  } else {
    uncertain_ = true;
    reportName_ = name;
    reportTail_ = std::string(" may not have been sent. Details: ") + kReplyNotUnderstood;
  }
  if (sendTime_ == 0) sendTime_ = clock_.NowUtc();
}

void SMSMessage::SetNotAttempted(const std::string& details) { SetNotSent(ContactName(), details); }

void SMSMessage::SetNotSent(const std::u16string& name, const std::string& details) {
  failureDetails_ = details;
  SetReport(name, " was not sent. Details: " + failureDetails_);
}

void SMSMessage::SetMaybeNotSent(const std::u16string& name, const std::string& details) {
  uncertain_ = true;
  failureDetails_ = details;
  SetReport(name, " may not have been sent. Details: " + failureDetails_);
}

void SMSMessage::SetReport(const std::u16string& name, const std::string& tail) {
  reportName_ = name;
  reportTail_ = tail;
  reportText_ = "Message for " + codePage_.ToAnsi(name) + tail;
}

std::u16string SMSMessage::ReportLine() const {
  if (reportTail_.empty()) return {};
  return u"Message for " + reportName_ + codePage_.FromAnsi(reportTail_);
}

std::u16string SMSMessage::ContactName() const {
  if (!contact_) return {};
  std::u16string name = contact_->FullName().value_or(std::u16string());
  // "Message for  was sent" would leave the user guessing who got it: a
  // nameless contact goes by its number as the user typed it.
  if (name.empty()) name = contact_->MobileTelephoneNumber().value_or(std::u16string());
  if (name.empty()) name = contact_->PrimaryTelephoneNumber().value_or(std::u16string());
  return name;
}
