// Per-keystroke search of the recipients field over 100,000 suggestion
// entries: the binary search against the literal scan-and-sort, which must
// agree; then, under Wine, the load of the contact directory from 10,000
// stand-in contacts through the access layer, next to a plain walk of the
// same folder that reads the same two properties of every contact and keeps
// nothing (the calls any load must make). Besides the figures it prints
// machine-readable lines "BENCH name=... value=... ..." that
// tools/bench_all.sh collects.
#ifdef _WIN32
#include <windows.h>

#include <ole2.h>

#include "addin/access/automation_mail_client.h"
#include "send/contact_directory.h"
#include "standin/stand_in.h"
#endif

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "send/suggestion_list.h"

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

std::u16string Name(std::mt19937& random) {
  static const char16_t* first[] = {u"Ann", u"bob", u"Carla", u"dev", u"Emil", u"fay", u"Gus", u"hal"};
  static const char16_t* last[] = {u"Lee", u"smith", u"Ngata", u"o'Brien", u"Ward", u"young"};
  std::u16string name = first[random() % 8];
  name += u" ";
  name += last[random() % 6];
  name += u" ";
  for (int i = 0; i < 3; ++i) name += static_cast<char16_t>(u'a' + random() % 26);
  name += u" (+64 21 ";
  for (int i = 0; i < 6; ++i) name += static_cast<char16_t>(u'0' + random() % 10);
  return name + u")";
}

void BenchSearch() {
  std::mt19937 random(7);
  std::vector<std::u16string> entries;
  for (int i = 0; i < 100000; ++i) entries.push_back(Name(random));
  SuggestionList list;
  list.SetEntries(entries);

  // A user typing recipients: each keystroke searches the token so far.
  std::vector<std::u16string> tokens;
  for (int word = 0; word < 20; ++word) {
    std::u16string typed = list.Entries()[random() % list.Entries().size()].substr(0, 12);
    for (size_t n = 1; n <= typed.size(); ++n) tokens.push_back(typed.substr(0, n));
  }

  size_t found = 0;
  Clock::time_point start = Clock::now();
  for (const auto& token : tokens) found += list.Matches(token).size();
  double fast = MicrosecondsSince(start) / static_cast<double>(tokens.size());

  size_t scanned = 0;
  bool agree = true;
  start = Clock::now();
  for (const auto& token : tokens) scanned += ScanMatches(list.Entries(), token).size();
  double scan = MicrosecondsSince(start) / static_cast<double>(tokens.size());
  for (const auto& token : tokens) agree = agree && list.Copy(list.Matches(token)) == ScanMatches(list.Entries(), token);

  std::printf("suggestion search, 100000 entries, %zu keystrokes (%zu matches in all)\n", tokens.size(), found);
  std::printf("  binary search: %10.1f us per keystroke\n", fast);
  std::printf("  literal scan:  %10.1f us per keystroke\n", scan);
  std::printf("  speed-up:      %10.0fx; same matches in the same order: %s\n", scan / fast,
              agree && found == scanned ? "yes" : "NO");
#ifdef _WIN32
  const char* tree = "wine";
#else
  const char* tree = "native";
#endif
  // A keystroke's matches are by definition those of the literal scan and
  // sort: the search must give the same ones and be no slower.
  std::printf("BENCH name=autocomplete/search/%s value=%.2f unit=us/key baseline=%.2f baseline_is=literal-scan "
              "target=ratio<=1 source=required ok=%d\n",
              tree, fast, scan, agree && found == scanned ? 1 : 0);
}

#ifdef _WIN32
void BenchDirectoryLoad() {
  std::string store = R"({"contacts": [)";
  for (int i = 0; i < 10000; ++i) {
    store += (i ? "," : "") + std::string(R"({"fullName": "Contact )") + std::to_string(i) +
             R"(", "mobile": "+64 21 )" + std::to_string(100000 + i) + "\"}";
  }
  store += "]}";
  OleInitialize(nullptr);
  {
    auto client = standin::StandIn::FromJson(store);
    Clock::time_point start = Clock::now();
    ContactDirectory directory;
    directory.Load(outlook::MakeMailClient(outlook::Dispatch(client->Application())));
    double ms = MicrosecondsSince(start) / 1000.0;

    // The baseline: the same walk, reading the same properties, keeping
    // nothing.
    auto mailClient = outlook::MakeMailClient(outlook::Dispatch(client->Application()));
    start = Clock::now();
    size_t read = 0;
    if (auto folder = mailClient->DefaultContacts()) {
      const long count = folder->Count();
      for (long i = 1; i <= count; ++i) {
        ContactRef contact = folder->ItemAt(i);
        if (!contact) continue;
        auto name = contact->FullName();
        auto mobile = contact->MobileTelephoneNumber();
        auto id = contact->EntryID();
        read += mobile.has_value() + name.has_value() + id.has_value();
      }
    }
    double walkMs = MicrosecondsSince(start) / 1000.0;
    std::printf("contact directory, 10000 stand-in contacts through the access layer\n");
    std::printf("  load: %.0f ms for %zu entries\n", ms, directory.entries().size());
    std::printf("  plain walk reading the same properties: %.0f ms (%zu values)\n", walkMs, read);
    std::printf("BENCH name=directory/load/10000 value=%.1f unit=ms baseline=%.1f baseline_is=plain-walk "
                "target=ratio<=1.5 source=proposed ok=%d\n",
                ms, walkMs, directory.entries().size() == 10000 ? 1 : 0);
  }
  OleUninitialize();
}
#endif

}  // namespace

int main() {
  BenchSearch();
#ifdef _WIN32
  BenchDirectoryLoad();
#endif
  return 0;
}
