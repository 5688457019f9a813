#pragma once
#include <string>

#include "addin/access/mail_items.h"
#include "gateway/http_manager.h"
#include "platform/clock.h"
#include "platform/code_page.h"

// One outgoing SMS to one contact and, once sent, what became of it.
class SMSMessage {
 public:
  // `text` is already encoded for the gateway (EncodeMessageText);
  // `sendTime` is local wall-clock time, 0 for at once; `historyKey` is
  // empty for messages that are not recorded in the sent-message history.
  SMSMessage(const CodePage& codePage, const Clock& clock, ContactRef contact, std::string text,
             double sendTime, std::string historyKey = {});
  virtual ~SMSMessage();
  SMSMessage(const SMSMessage&) = delete;
  SMSMessage& operator=(const SMSMessage&) = delete;

  // The contact's mobile number, else its primary number, normalised;
  // empty when it has none. Asked of the contact until one is found.
  const std::string& GetPhoneNumber();

  // Sends the message through `gateway` and records the outcome. 0 when a
  // reply was handled (also for a contact without a number, which is not
  // sent); E_FAIL when the exchange failed, the record then carrying a
  // report line that names the cause: "was not sent" when the request
  // never left, "may not have been sent" when it did.
  HResult Send(HTTPManager& gateway);

  // Interprets a gateway reply into the result fields.
  void ParseReply(const std::string& reply);

  // For a message its run did not attempt: a not-sent report line with
  // these details; nothing else changes.
  void SetNotAttempted(const std::string& details);

  // Lets the contact go once the message is done with it, so that a long
  // run does not hold every contact open in the mail client. The report
  // line keeps the name read for it.
  void ReleaseContact() { contact_.reset(); }

  // The report line as the user reads it: the contact's name as the client
  // gives it (UTF-16, so names outside the ANSI code page stay readable)
  // and the rest converted from ANSI. A reply that is not understood keeps
  // reportText() empty but still gets a line here: the user must learn that
  // this message may not have gone. Empty only before a send.
  std::u16string ReportLine() const;

  bool accepted() const { return accepted_; }
  // Neither accepted nor certainly not sent: the request went out and no
  // answer that could be understood came back.
  bool uncertain() const { return uncertain_; }
  double sendTime() const { return sendTime_; }
  const std::string& text() const { return text_; }
  const std::string& historyKey() const { return historyKey_; }
  const std::string& reply() const { return reply_; }
  const std::string& successDetails() const { return successDetails_; }
  const std::string& failureDetails() const { return failureDetails_; }
  const std::string& reportText() const { return reportText_; }
  const ContactRef& contact() const { return contact_; }

 private:
  // The contact's full name, else its mobile or primary number as given.
  std::u16string ContactName() const;
  void SetReport(const std::u16string& name, const std::string& tail);
  void SetNotSent(const std::u16string& name, const std::string& details);
  void SetMaybeNotSent(const std::u16string& name, const std::string& details);

  const CodePage& codePage_;
  const Clock& clock_;
  ContactRef contact_;
  std::string text_;
  double sendTime_;
  std::string phoneNumber_;
  std::string reply_;
  std::string historyKey_;
  bool accepted_ = false;
  bool uncertain_ = false;
  std::string failureDetails_;
  std::string successDetails_;
  std::string reportText_;
  std::u16string reportName_;
  std::string reportTail_;
};

// The reply that stands in for the gateway's when a contact has no number.
inline constexpr char kNoPhoneNumberReply[] =
    "error,,,,,,Contact does not have a phone number assigned!";

// The details of a reply that is none of "accepted", "error" or "rejected"
// (an HTML page, garbage, an empty body): the gateway may or may not have
// taken the message.
inline constexpr char kReplyNotUnderstood[] = "The SMS gateway's answer was not understood.";
