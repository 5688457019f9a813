// Calls into the mail client and time for one reminder-planning run: the
// contact index (one walk of the contacts per run, then one fetch of each
// attendee's contact) against the literal walk of the contacts folder per
// attendee, which is measured on a smaller store
// and extrapolated because it grows with attendees times contacts. Both
// stores come from the stand-in's generator. It also prints the most items
// open at once during resolution, against the 250 a server commonly allows
// a session. The totals also go out as machine-readable lines
// "BENCH name=... value=... ..." that tools/bench_all.sh collects; their
// baseline is the walk, measured in the same run on the small store and
// extrapolated.
#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "addin/access/automation_mail_client.h"
#include "batch/attendee_entry_id.h"
#include "batch/attendee_resolver.h"
#include "batch/delivery_time.h"
#include "batch/meeting_collection.h"
#include "batch/time_frame.h"
#include "generator/store_generator.h"
#include "platform/clock_win.h"
#include "standin/stand_in.h"

namespace {

// Every recurring series is wanted whole, as a user planning a year would.
class AnswerYes : public Prompt {
 public:
  bool AskYesNo(const std::u16string&, const std::u16string&) override { return true; }
  void Show(const std::u16string&, const std::u16string&) override {}
};

struct Figures {
  long meetings = 0;
  long attendees = 0;
  long resolved = 0;
  long contacts = 0;
  long disagreements = -1;  // attendees the two look-ups resolve differently; -1 not compared
  long collectionCalls = 0;  // collecting the meetings and listing their attendees
  long resolutionCalls = 0;  // finding the attendees' contacts
  double collectionSeconds = 0;
  double resolutionSeconds = 0;
  long mostOpenItems = 0;  // during resolution, each contact let go after its look-up
  std::string callsByMember;
};

// The contact of one attendee by walking the whole folder from the start.
ContactRef FindByWalk(MailClient& client, Recipient& attendee) {
  auto attendeeId = attendee.EntryID();
  auto contactId = attendeeId ? ContactEntryIdOfAttendee(*attendeeId) : std::nullopt;
  if (!contactId) return nullptr;
  auto folder = client.DefaultContacts();
  if (!folder) return nullptr;
  const long count = folder->Count();
  for (long i = 1; i <= count; ++i) {
    auto contact = folder->ItemAt(i);
    if (contact && contact->EntryID() == *contactId) return contact;
  }
  return nullptr;
}

long Disagreements(MailClient& client,
                   const std::vector<std::vector<std::shared_ptr<Recipient>>>& attendees) {
  AttendeeResolver resolver(client);
  long count = 0;
  for (const auto& list : attendees) {
    for (const auto& attendee : list) {
      auto walked = FindByWalk(client, *attendee);
      auto indexed = resolver.Resolve(*attendee);
      // Duplicate identifiers would tell apart by name.
      const bool same = walked && indexed ? walked->EntryID() == indexed->EntryID() &&
                                                walked->FullName() == indexed->FullName()
                                          : walked == indexed;
      count += !same;
    }
  }
  return count;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Figures Plan(const standin::GeneratedStoreShape& shape, bool literalWalk) {
  auto standIn = standin::StandIn::FromJson(standin::GenerateStore(shape), "generated store");
  auto client = outlook::MakeMailClient(outlook::Dispatch(standIn->Application()));
  SystemClock clock;
  AnswerYes yes;
  RecurringQuestion question(yes, u"Send batch SMS");
  Figures f;
  if (auto contacts = client->DefaultContacts()) f.contacts = contacts->Count();
  standIn->Calls().Reset();

  auto started = std::chrono::steady_clock::now();
  // The generated meetings start within the coming four weeks.
  const double end = TimeFrameEnd(clock, Unit::Days, 30).value_or(clock.NowLocal());
  MeetingList meetings = CollectMeetings(*client, end, clock, question);
  auto calendar = client->DefaultCalendar();
  std::vector<std::vector<std::shared_ptr<Recipient>>> attendees;
  for (const auto& meeting : meetings) {
    DeliveryTime(SendMode::ByLeadTime(Unit::Days, 1), meeting.start);
    // Every meeting's attendees are held for the resolution below.
    auto item = calendar ? OpenMeeting(*calendar, meeting) : nullptr;
    attendees.emplace_back();
    const long count = item ? item->RecipientCount() : 0;
    for (long i = 1; i <= count; ++i) {
      if (auto recipient = item->RecipientAt(i)) attendees.back().push_back(std::move(recipient));
    }
  }
  f.collectionSeconds = SecondsSince(started);
  f.collectionCalls = standIn->Calls().Total();

  started = std::chrono::steady_clock::now();
  AttendeeResolver resolver(*client);
  for (const auto& list : attendees) {
    for (const auto& attendee : list) {
      auto contact = literalWalk ? FindByWalk(*client, *attendee) : resolver.Resolve(*attendee);
      f.mostOpenItems = std::max(f.mostOpenItems, standIn->OpenItems());
      f.resolved += contact != nullptr;
      ++f.attendees;
    }
  }
  f.resolutionSeconds = SecondsSince(started);
  f.resolutionCalls = standIn->Calls().Total() - f.collectionCalls;
  f.meetings = static_cast<long>(meetings.size());
  f.callsByMember = standIn->Calls().Report();
  if (literalWalk) f.disagreements = Disagreements(*client, attendees);
  return f;
}

void Print(const char* what, const Figures& f) {
  std::printf("%-34s %6ld meetings %6ld attendees (%ld resolved) %6ld contacts\n", what, f.meetings,
              f.attendees, f.resolved, f.contacts);
  std::printf("%-34s collection %10ld calls %8.3f s | resolution %12ld calls %8.3f s\n", "",
              f.collectionCalls, f.collectionSeconds, f.resolutionCalls, f.resolutionSeconds);
  std::printf("%-34s items open at most during resolution: %ld, the run's %ld meetings among them "
              "(a server commonly allows 250)\n",
              "", f.mostOpenItems, f.meetings);
}

standin::GeneratedStoreShape Shape(int contacts, int meetings) {
  standin::GeneratedStoreShape shape;
  shape.contacts = contacts;
  shape.meetings = meetings;
  shape.attendees = 5;
  return shape;
}

int Run() {
  const Figures indexed = Plan(Shape(10000, 2000), false);
  Print("index, large store", indexed);
  std::printf("calls by member:\n%s\n", indexed.callsByMember.c_str());
  const Figures literal = Plan(Shape(1000, 200), true);
  Print("per-attendee walk, small store", literal);
  std::printf("attendees resolved differently by the index and the walk: %ld\n",
              literal.disagreements);

  // The walk's calls and time grow with attendees x contacts.
  const double scale = (double(indexed.attendees) * indexed.contacts) /
                       (double(literal.attendees) * literal.contacts);
  const double literalCalls = indexed.collectionCalls + literal.resolutionCalls * scale;
  const double literalSeconds = indexed.collectionSeconds + literal.resolutionSeconds * scale;
  const long indexedCalls = indexed.collectionCalls + indexed.resolutionCalls;
  const double indexedSeconds = indexed.collectionSeconds + indexed.resolutionSeconds;
  std::printf("\nOne planning run on the large store:\n");
  std::printf("  with the index          %14ld calls %10.3f s\n", indexedCalls, indexedSeconds);
  std::printf("  per-attendee walk (ext.) %13.0f calls %10.1f s\n", literalCalls, literalSeconds);
  std::printf("  fewer calls: %.0fx\n", literalCalls / indexedCalls);
  // No target written down: proposed ones, at least 100 times fewer calls
  // than the walk and a planning run within a second on the large store.
  const int agree = literal.disagreements == 0 ? 1 : 0;
  std::printf("BENCH name=planning/calls/%ld-contacts value=%ld unit=calls baseline=%.0f "
              "baseline_is=attendee-walk(extrapolated) target=ratio<=0.01 source=proposed ok=%d\n",
              indexed.contacts, indexedCalls, literalCalls, agree);
  std::printf("BENCH name=planning/time/%ld-contacts value=%.3f unit=s baseline=%.3f "
              "baseline_is=attendee-walk(extrapolated) target=value<=1 source=proposed ok=%d\n",
              indexed.contacts, indexedSeconds, literalSeconds, agree);
  return 0;
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  int status = 1;
  try {
    status = Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_planning: %s\n", e.what());
  }
  OleUninitialize();
  return status;
}
