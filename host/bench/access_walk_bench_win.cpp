// Walks a store the way the add-in does, through the access layer's ports,
// and prints the calls made into the client per phase and the time taken:
//   access_walk_bench <store.json>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "addin/access/automation_mail_client.h"
#include "standin/stand_in.h"

namespace {

class OleApartment {
 public:
  OleApartment() { OleInitialize(nullptr); }
  ~OleApartment() { OleUninitialize(); }
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;
};

template <class Walk>
void Phase(const char* name, standin::StandIn& client, Walk walk) {
  client.Calls().Reset();
  const auto begin = std::chrono::steady_clock::now();
  const long items = walk();
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  // Name look-ups (GetIDsOfNames) apart from the calls that do the work.
  long lookups = 0, invokes = 0;
  for (const auto& [member, count] : client.Calls().All()) {
    (member.size() > 14 && member.compare(member.size() - 14, 14, ".GetIDsOfNames") == 0 ? lookups
                                                                                      : invokes) += count;
  }
  std::printf("%-26s %6ld items %7ld invokes (%.2f per item) %7ld name look-ups %8.1f ms\n", name,
              items, invokes, items ? double(invokes) / items : 0.0, lookups, ms);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: access_walk_bench <store.json>\n");
    return 64;
  }
  OleApartment apartment;
  std::unique_ptr<standin::StandIn> client;
  try {
    client = standin::StandIn::FromFile(argv[1]);
  } catch (const standin::StoreError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  auto mail = outlook::MakeMailClient(outlook::Dispatch(client->Application()));

  Phase("contact directory", *client, [&] {
    auto contacts = mail->DefaultContacts();
    const long count = contacts->Count();
    for (long i = 1; i <= count; ++i) {
      if (auto contact = contacts->ItemAt(i)) {
        contact->FullName();
        contact->MobileTelephoneNumber();
      }
    }
    return count;
  });

  std::u16string lastAttendee;
  Phase("calendar and attendees", *client, [&] {
    auto calendar = mail->DefaultCalendar();
    const long count = calendar->Count();
    for (long i = 1; i <= count; ++i) {
      auto item = calendar->ItemAt(i);
      if (!item || item->MeetingStatus().value_or(0) == 0) continue;
      item->Start();
      item->IsRecurring();
      for (long r = 1, n = item->RecipientCount(); r <= n; ++r) {
        if (auto recipient = item->RecipientAt(r)) lastAttendee = recipient->EntryID().value_or(u"");
      }
    }
    return count;
  });

  Phase("one contact look-up by ID", *client, [&] {
    auto contacts = mail->DefaultContacts();
    const long count = contacts->Count();
    for (long i = 1; i <= count; ++i) {
      auto contact = contacts->ItemAt(i);
      if (contact && contact->EntryID() && lastAttendee.find(*contact->EntryID()) != std::u16string::npos) {
        return i;
      }
    }
    return count;
  });
  return 0;
}
