#include "batch/reminder_run.h"

#include <algorithm>

#include "batch/attendee_resolver.h"
#include "batch/meeting_collection.h"
#include "batch/recurring_question.h"
#include "batch/template_filling.h"
#include "batch/time_frame.h"
#include "gateway/delivery_report.h"
#include "gateway/message_text.h"
#include "send/opt_out.h"
#include "store/history_key.h"
#include "store/sending_options.h"

namespace {

constexpr char kOutsideCalendar[] = "The delivery time of this reminder lies outside the calendar's years.";

std::u16string Number(long n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// An attendee's contact as its report line names it: by the contact's full
// name, else the name the meeting shows for the attendee, else the number,
// else the attendee's place in the meeting.
class AttendeeContact : public ContactItem {
 public:
  AttendeeContact(ContactRef contact, std::shared_ptr<Recipient> attendee, long position)
      : contact_(std::move(contact)), attendee_(std::move(attendee)), position_(position) {}
  std::optional<std::u16string> FullName() override {
    auto name = contact_->FullName();
    if (!name || name->empty()) name = attendee_->Name();
    if (!name || name->empty()) name = contact_->MobileTelephoneNumber();
    if (!name || name->empty()) name = contact_->PrimaryTelephoneNumber();
    if (!name || name->empty()) name = u"attendee " + Number(position_);
    return name;
  }
  std::optional<std::u16string> FirstName() override { return contact_->FirstName(); }
  std::optional<std::u16string> MobileTelephoneNumber() override { return contact_->MobileTelephoneNumber(); }
  std::optional<std::u16string> PrimaryTelephoneNumber() override { return contact_->PrimaryTelephoneNumber(); }
  std::optional<std::u16string> EntryID() override { return contact_->EntryID(); }
  std::optional<std::u16string> Categories() override { return contact_->Categories(); }

 private:
  ContactRef contact_;
  std::shared_ptr<Recipient> attendee_;
  long position_;
};

// A planned message's contact for sending it later: what the plan read.
class PlannedContact : public ContactItem {
 public:
  explicit PlannedContact(const PlannedMessage& planned) : planned_(planned) {}
  std::optional<std::u16string> FullName() override { return planned_.name; }
  std::optional<std::u16string> FirstName() override { return planned_.firstName; }
  std::optional<std::u16string> MobileTelephoneNumber() override { return planned_.mobile; }
  std::optional<std::u16string> PrimaryTelephoneNumber() override { return planned_.primary; }
  std::optional<std::u16string> EntryID() override { return std::nullopt; }

 private:
  const PlannedMessage& planned_;
};

std::u16string MeetingName(const Meeting& meeting) {
  if (meeting.subject.empty() && meeting.start == 0) {
    return u"item " + Number(meeting.index) + u" of the calendar";
  }
  std::u16string name = u"the meeting \"" + meeting.subject + u"\"";
  if (meeting.start != 0) name += FillTemplate(u" on [[appt date]] at [[appt time]]", u"", meeting.start);
  return name;
}

}  // namespace

std::u16string StatusText(const PlannedMessage& message) {
  switch (message.status) {
    case PlannedMessage::Status::kNew:
      return u"new";
    case PlannedMessage::Status::kSentBefore:
      return FillTemplate(u"sent before on [[appt date]]", u"", message.earlier);
    case PlannedMessage::Status::kMayHaveBeenSent:
      return FillTemplate(u"may have been sent on [[appt date]]", u"", message.earlier);
    case PlannedMessage::Status::kNoMobileNumber:
      return u"no mobile number";
    case PlannedMessage::Status::kOptedOut:
      return u"opted out";
  }
  return {};
}

std::u16string ReminderRun::UnreadableMeetingLine(const Meeting& meeting, bool changed) {
  return u"Messages for " + MeetingName(meeting) + u" were not sent. Details: " +
         (changed ? u"The meeting was changed or moved in the calendar during the run."
                  : u"The meeting could not be read from the calendar.");
}

std::u16string ReminderRun::UnreadableAttendeeLine(const Meeting& meeting, long position) {
  return u"Message for attendee " + Number(position) + u" of " + MeetingName(meeting) +
         u" was not sent. Details: The attendee could not be read from the meeting.";
}

std::u16string ReminderRun::UnreadableContactLine(const Meeting& meeting, const std::u16string& attendee,
                                                  long position) {
  const std::u16string who = attendee.empty() ? u"attendee " + Number(position) + u" of " + MeetingName(meeting)
                                              : attendee + u", attendee of " + MeetingName(meeting) + u",";
  return u"Message for " + who + u" was not sent. Details: The attendee's contact could not be read from the "
         u"contacts folder.";
}

std::u16string ReminderRun::RepeatQuestion(const std::u16string& filledText, const std::u16string& firstName,
                                           const std::u16string& mobileNumber) {
  return u"Message \"" + filledText + u"\" was already sent to " + firstName + u" on phone number " +
         mobileNumber + u".\nDo you want to send it again?";
}

std::u16string ReminderRun::UncertainRepeatQuestion(const std::u16string& filledText, const std::u16string& firstName,
                                                    const std::u16string& mobileNumber, double triedAt) {
  return u"Message \"" + filledText + u"\" may already have been sent to " + firstName + u" on phone number " +
         mobileNumber + u": it was tried on " + FillTemplate(u"[[appt date]] at [[appt time]]", u"", triedAt) +
         u" and the SMS gateway's answer did not confirm it.\nDo you want to send it again?";
}

void ReminderRun::SaveRecorded(bool force) {
  if (!save_ || !unsaved_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - lastSave_ < kSaveInterval) return;
  lastSave_ = now;
  const std::u16string failure = save_();
  if (failure.empty()) {
    unsaved_ = false;
  } else if (!toldSaveFailure_) {
    toldSaveFailure_ = true;
    ports_.prompt.Show(failure, caption_);
  }
}

std::optional<MeetingList> ReminderRun::FrameMeetings(const ReminderRequest& request) {
  const std::optional<double> frameEnd = TimeFrameEnd(ports_.clock, request.frameUnit, request.frameCount);
  RecurringQuestion recurring(ports_.prompt, caption_);
  MeetingList meetings;
  if (frameEnd) meetings = CollectMeetings(ports_.client, *frameEnd, ports_.clock, recurring);
  if (meetings.empty()) {
    ports_.prompt.Show(kNoMeetingsMessage, caption_);
    return std::nullopt;
  }
  return meetings;
}

void ReminderRun::Walk(const MeetingList& meetings, const ReminderRequest& request, const EachReminder& each,
                       std::vector<std::u16string>& lines, const Progress& progress) {
  int total = 0;
  for (const Meeting& meeting : meetings) total += static_cast<int>(meeting.attendees);
  int done = 0;
  const auto report = [&](int attendees) {
    done += attendees;
    total = std::max(total, done);
    if (progress && attendees > 0) progress(done, total);
  };
  std::shared_ptr<CalendarFolder> calendar = ports_.client.DefaultCalendar();
  std::optional<MeetingOpener> opener;
  if (calendar) opener.emplace(*calendar);
  AttendeeResolver resolver(ports_.client);
  const OptOut optOut = OptOut::Read(ports_.settings);
  const SendingOptions options = SendingOptions::Read(ports_.settings);
  for (const Meeting& meeting : meetings) {
    bool changed = false;
    // Only this meeting (with its series) is open while its reminders go
    // out, and each attendee's contact only while its message is prepared.
    std::shared_ptr<AppointmentItem> item =
        meeting.unreadable || !opener ? nullptr : opener->Open(meeting, &changed);
    if (!item) {
      lines.push_back(UnreadableMeetingLine(meeting, changed));
      report(static_cast<int>(meeting.attendees));
      continue;
    }
    const std::optional<double> delivery = DeliveryTime(request.mode, meeting.start);
    const long count = item->RecipientCount();
    for (long position = 1; position <= count; ++position) {
      report(1);
      std::shared_ptr<Recipient> attendee = item->RecipientAt(position);
      if (!attendee) {
        lines.push_back(UnreadableAttendeeLine(meeting, position));
        continue;
      }
      AttendeeResolver::Found found = resolver.Find(*attendee);
      if (!found.contact) {
        if (found.unreadable) {
          lines.push_back(UnreadableContactLine(meeting, attendee->Name().value_or(u""), position));
        }
        continue;
      }
      ContactRef contact = std::make_shared<AttendeeContact>(std::move(found.contact), attendee, position);
      PlannedMessage planned;
      planned.name = contact->FullName().value_or(u"");
      planned.subject = meeting.subject;
      planned.start = meeting.start;
      const std::optional<std::u16string> mobile = contact->MobileTelephoneNumber();
      planned.mobile = mobile.value_or(std::u16string());
      planned.primary = contact->PrimaryTelephoneNumber().value_or(std::u16string());
      planned.firstName = contact->FirstName().value_or(std::u16string());
      planned.text = FillTemplate(request.templateText, planned.firstName, meeting.start);
      planned.historyKey = BuildHistoryKey(attendee->EntryID().value_or(std::u16string()), mobile, meeting.start,
                                           ports_.codePage);
      planned.encodedText = EncodeMessageText(planned.text, options, ports_.codePage);
      const bool optedOut = optOut.Excludes(*contact);
      auto message = std::make_unique<SMSMessage>(ports_.codePage, ports_.clock, std::move(contact),
                                                  planned.encodedText, delivery.value_or(0), planned.historyKey);
      const std::string& number = message->GetPhoneNumber();
      planned.number.assign(number.begin(), number.end());
      const std::optional<double> sent = ports_.history.SentOn(planned.historyKey, planned.encodedText);
      const std::optional<double> tried = ports_.history.TriedUncertainly(planned.historyKey, planned.encodedText);
      if (optedOut) {
        planned.status = PlannedMessage::Status::kOptedOut;
      } else if (planned.number.empty()) {
        planned.status = PlannedMessage::Status::kNoMobileNumber;
      } else if (sent) {
        planned.status = PlannedMessage::Status::kSentBefore;
        planned.earlier = *sent;
      } else if (tried) {
        planned.status = PlannedMessage::Status::kMayHaveBeenSent;
        planned.earlier = *tried;
      }
      each(planned, message, delivery);
    }
  }
}

void ReminderRun::Start(std::vector<std::unique_ptr<SMSMessage>>& messages) {
  messages.clear();
  toldSaveFailure_ = false;
  lastSave_ = std::chrono::steady_clock::now();
}

void ReminderRun::Deliver(const PlannedMessage& planned, std::unique_ptr<SMSMessage> message,
                          std::optional<double> delivery, bool ask, SendRun& run, const MakeGateway& makeGateway,
                          std::vector<std::u16string>& lines, std::vector<std::unique_ptr<SMSMessage>>& messages) {
  if (!delivery) {
    message->SetNotAttempted(kOutsideCalendar);
  } else if (!run.Active()) {
    run.MarkNotAttempted(*message);
  } else {
    const std::string& key = planned.historyKey;
    const std::string& text = planned.encodedText;
    if (ask) {
      const std::optional<double> tried = ports_.history.TriedUncertainly(key, text);
      if (ports_.history.WasSent(key, text)
              ? !ports_.prompt.AskYesNo(RepeatQuestion(planned.text, planned.firstName, planned.mobile), caption_)
              : tried && !ports_.prompt.AskYesNo(
                             UncertainRepeatQuestion(planned.text, planned.firstName, planned.mobile, *tried),
                             caption_)) {
        return;
      }
    }
    std::unique_ptr<HTTPManager> gateway = makeGateway();
    run.Send(*message, *gateway);
    if (message->accepted()) {
      // A message sent at once carries the gateway's UTC time; the history
      // holds local times, as for a scheduled one.
      ports_.history.RecordSent(key, text, *delivery == 0 ? ports_.clock.NowLocal() : message->sendTime());
      unsaved_ = true;
    } else if (message->uncertain()) {
      // Asked about before it is sent again: the gateway may have it.
      ports_.history.RecordUncertain(key, text, ports_.clock.NowLocal());
      unsaved_ = true;
    }
    SaveRecorded(false);
  }
  message->ReleaseContact();
  lines.push_back(message->ReportLine());
  messages.push_back(std::move(message));
}

void ReminderRun::Finish(const std::vector<std::u16string>& lines) {
  SaveRecorded(true);
  if (SendingOptions::Read(ports_.settings).ShowsDeliveryResults()) {
    ports_.prompt.ShowReport(BuildDeliveryReport(lines), caption_);
  }
}

bool ReminderRun::Run(const ReminderRequest& request, SendRun& run, const MakeGateway& makeGateway,
                      std::vector<std::unique_ptr<SMSMessage>>& messages, const Progress& progress) {
  const std::optional<MeetingList> meetings = FrameMeetings(request);
  if (!meetings) return false;
  Start(messages);
  const OptOut optOut = OptOut::Read(ports_.settings);
  std::vector<std::u16string> lines;
  Walk(*meetings, request,
       [&](PlannedMessage& planned, std::unique_ptr<SMSMessage>& message, std::optional<double> delivery) {
         if (planned.status == PlannedMessage::Status::kOptedOut) {
           lines.push_back(optOut.ReportLine(planned.name));
         } else {
           Deliver(planned, std::move(message), delivery, true, run, makeGateway, lines, messages);
         }
       },
       lines, progress);
  Finish(lines);
  return true;
}

std::optional<ReminderPlan> ReminderRun::Plan(const ReminderRequest& request) {
  const std::optional<MeetingList> meetings = FrameMeetings(request);
  if (!meetings) return std::nullopt;
  ReminderPlan plan;
  plan.mode = request.mode;
  Walk(*meetings, request,
       [&](PlannedMessage& planned, std::unique_ptr<SMSMessage>&, std::optional<double>) {
         plan.messages.push_back(std::move(planned));
       },
       plan.unreadable, {});
  return plan;
}

void ReminderRun::SendPlanned(const ReminderPlan& plan, const std::vector<std::size_t>& chosen, SendRun& run,
                              const MakeGateway& makeGateway, std::vector<std::unique_ptr<SMSMessage>>& messages,
                              const Progress& progress) {
  Start(messages);
  const OptOut optOut = OptOut::Read(ports_.settings);
  std::vector<std::u16string> lines;
  int done = 0;
  const int total = static_cast<int>(chosen.size());
  for (std::size_t position : chosen) {
    const PlannedMessage& planned = plan.messages.at(position);
    if (progress) progress(++done, total);
    if (!planned.Sendable()) continue;
    const std::optional<double> delivery = DeliveryTime(plan.mode, planned.start);
    auto message = std::make_unique<SMSMessage>(ports_.codePage, ports_.clock,
                                                std::make_shared<PlannedContact>(planned), planned.encodedText,
                                                delivery.value_or(0), planned.historyKey);
    Deliver(planned, std::move(message), delivery, false, run, makeGateway, lines, messages);
  }
  for (const PlannedMessage& planned : plan.messages) {
    if (planned.status == PlannedMessage::Status::kOptedOut) lines.push_back(optOut.ReportLine(planned.name));
  }
  lines.insert(lines.end(), plan.unreadable.begin(), plan.unreadable.end());
  Finish(lines);
}
