#include "batch/reminder_run.h"

#include "batch/attendee_resolver.h"
#include "batch/meeting_collection.h"
#include "batch/recurring_question.h"
#include "batch/template_filling.h"
#include "batch/time_frame.h"
#include "gateway/delivery_report.h"
#include "gateway/message_text.h"
#include "store/history_key.h"
#include "store/sending_options.h"

namespace {

constexpr char kOutsideCalendar[] = "The delivery time of this reminder lies outside the calendar's years.";

}  // namespace

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

bool ReminderRun::Run(const ReminderRequest& request, SendRun& run, const MakeGateway& makeGateway,
                      std::vector<std::unique_ptr<SMSMessage>>& messages, const Progress& progress) {
  const std::optional<double> frameEnd = TimeFrameEnd(ports_.clock, request.frameUnit, request.frameCount);
  RecurringQuestion recurring(ports_.prompt, caption_);
  MeetingList meetings;
  if (frameEnd) meetings = CollectMeetings(ports_.client, *frameEnd, ports_.clock, recurring);
  if (meetings.empty()) {
    ports_.prompt.Show(kNoMeetingsMessage, caption_);
    return false;
  }
  messages.clear();
  toldSaveFailure_ = false;
  lastSave_ = std::chrono::steady_clock::now();

  int total = 0;
  for (const Meeting& meeting : meetings) total += static_cast<int>(meeting.item->RecipientCount());
  int done = 0;
  AttendeeResolver resolver(ports_.client);
  for (const Meeting& meeting : meetings) {
    const std::optional<double> delivery = DeliveryTime(request.mode, meeting.start);
    // Only this meeting's attendees are held: each keeps its item open.
    for (const auto& attendee : Attendees(*meeting.item)) {
      if (progress) progress(++done, total);
      ContactRef contact = resolver.Resolve(*attendee);
      if (!contact) continue;
      const std::optional<std::u16string> mobile = contact->MobileTelephoneNumber();
      const std::u16string firstName = contact->FirstName().value_or(std::u16string());
      const std::u16string filled = FillTemplate(request.templateText, firstName, meeting.start);
      const std::string key = BuildHistoryKey(attendee->EntryID().value_or(std::u16string()), mobile,
                                              meeting.start, ports_.codePage);
      const std::string text =
          EncodeMessageText(filled, SendingOptions::Read(ports_.settings), ports_.codePage);
      auto message = std::make_unique<SMSMessage>(ports_.codePage, ports_.clock, std::move(contact), text,
                                                  delivery.value_or(0), key);
      if (!delivery) {
        message->SetNotAttempted(kOutsideCalendar);
      } else if (!run.Active()) {
        run.MarkNotAttempted(*message);
      } else {
        const std::u16string number = mobile.value_or(std::u16string());
        const std::optional<double> tried = ports_.history.TriedUncertainly(key, text);
        if (ports_.history.WasSent(key, text)
                ? !ports_.prompt.AskYesNo(RepeatQuestion(filled, firstName, number), caption_)
                : tried && !ports_.prompt.AskYesNo(UncertainRepeatQuestion(filled, firstName, number, *tried),
                                                   caption_)) {
          continue;
        }
        std::unique_ptr<HTTPManager> gateway = makeGateway();
        run.Send(*message, *gateway);
        if (message->accepted()) {
          ports_.history.RecordSent(key, text, message->sendTime());
          unsaved_ = true;
        } else if (message->uncertain()) {
          // Asked about before it is sent again: the gateway may have it.
          ports_.history.RecordUncertain(key, text, ports_.clock.NowLocal());
          unsaved_ = true;
        }
        SaveRecorded(false);
      }
      message->ReleaseContact();
      messages.push_back(std::move(message));
    }
  }

  SaveRecorded(true);
  if (SendingOptions::Read(ports_.settings).ShowsDeliveryResults()) {
    std::vector<const SMSMessage*> listed;
    for (const auto& message : messages) listed.push_back(message.get());
    ports_.prompt.ShowReport(BuildDeliveryReport(ReportLines(listed)), caption_);
  }
  return true;
}
