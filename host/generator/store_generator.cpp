#include "generator/store_generator.h"

#include <random>

#include <nlohmann/json.hpp>

namespace standin {

namespace {

using nlohmann::ordered_json;

const char* const kFirstNames[] = {"Ann", "Bo", "Carla", "Dmitri", "Eve", "Farid", "Greta",
                                   "Hiro", "Inès", "Jon", "Kemal", "Lena", "Marta", "Nils",
                                   "Olga", "Piotr", "Zoë", "Łukasz", "Дарья", "陈"};
const char* const kLastNames[] = {"Lee", "Chan", "Mendes", "Sokolov", "Novak", "Haddad",
                                  "Sørensen", "Tanaka", "Dubois", "Olsen", "Yılmaz", "Berg",
                                  "Nowak", "Schmidt", "Ivanova", "Kowalski"};

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

ordered_json Contact(int n, std::mt19937& random) {
  const std::string first = kFirstNames[random() % std::size(kFirstNames)];
  const std::string last = kLastNames[random() % std::size(kLastNames)];
  ordered_json c;
  if (n % 50 == 0) {
    c["kind"] = "distributionList";
    c["subject"] = "List " + std::to_string(n);
    return c;
  }
  c["key"] = "c" + std::to_string(n);
  c["fullName"] = first + " " + last + " " + std::to_string(n);
  c["firstName"] = first;
  if (n % 10 != 0) c["mobile"] = "+44 7700 " + std::to_string(100000 + n % 900000);
  if (n % 3 == 0) c["primary"] = "+44 20 7946 " + std::to_string(1000 + n % 9000);
  return c;
}

ordered_json Meeting(int n, const GeneratedStoreShape& shape, std::mt19937& random) {
  ordered_json m;
  m["subject"] = "Meeting " + std::to_string(n);
  const int day = static_cast<int>(random() % (shape.days + 1));
  m["start"] = "today+" + std::to_string(day) + " " + TwoDigits(8 + random() % 10) + ":" +
               TwoDigits(random() % 4 * 15);
  ordered_json recipients = ordered_json::array();
  for (int a = 0; a < shape.attendees; ++a) {
    if (random() % 10 == 0 || shape.contacts == 0) {
      recipients.push_back({{"address", "guest" + std::to_string(random() % 1000) + "@example.com"}});
      continue;
    }
    int contact = 1 + static_cast<int>(random() % shape.contacts);
    if (contact % 50 == 0) --contact;  // lists have no key
    if (contact == 0) contact = 1;
    recipients.push_back({{"contact", "c" + std::to_string(contact)}});
  }
  m["recipients"] = recipients;
  if (n % 20 == 0) m["meetingStatus"] = "cancelled";
  if (n % 25 == 0) {
    m["start"] = "today-" + std::to_string(random() % 30) + " 09:00";
    m["recurrence"] = {{"pattern", n % 50 == 0 ? "weekly" : "daily"}, {"count", 60}};
  }
  return m;
}

}  // namespace

std::string GenerateStore(const GeneratedStoreShape& shape) {
  std::mt19937 random(shape.seed);
  ordered_json store;
  store["contacts"] = ordered_json::array();
  for (int n = 1; n <= shape.contacts; ++n) store["contacts"].push_back(Contact(n, random));
  store["calendar"] = ordered_json::array();
  for (int n = 1; n <= shape.meetings; ++n) store["calendar"].push_back(Meeting(n, shape, random));
  return store.dump(1);
}

}  // namespace standin
