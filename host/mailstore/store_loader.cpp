#include "mailstore/store_loader.h"

#include <climits>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/ole_date.h"
#include "mailstore/entry_id.h"

namespace standin {

namespace {

using nlohmann::json;

constexpr long kNotFound = static_cast<long>(0x8004010F);  // the store's "no such item"

std::u16string Utf16(const std::string& utf8) {
  // The parser has already checked that the text is valid UTF-8.
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = utf8[i];
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
    i += extra + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

class Reader {
 public:
  Reader(std::string source, double nowLocal) : source_(std::move(source)), now_(nowLocal) {}

  LoadedStore Read(const json& root) {
    Expect(root.is_object(), "", "the store must be a JSON object");
    Keys(root, "", {"version", "contacts", "calendar", "faults"});
    LoadedStore loaded;
    if (root.contains("version")) loaded.store.version = Utf16(Str(root["version"], "/version"));
    if (root.contains("contacts")) ReadContacts(root["contacts"], "/contacts", loaded.store);
    if (root.contains("calendar")) ReadCalendar(root["calendar"], "/calendar", loaded.store);
    if (root.contains("faults")) ReadFaults(root["faults"], "/faults", loaded);
    return loaded;
  }

 private:
  [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
    throw StoreError(source_ + ": at " + (where.empty() ? "/" : where) + ": " + what);
  }
  void Expect(bool ok, const std::string& where, const std::string& what) const {
    if (!ok) Fail(where, what);
  }
  void Keys(const json& object, const std::string& where, std::set<std::string> allowed) const {
    for (const auto& [key, value] : object.items()) {
      Expect(allowed.count(key) > 0, where + "/" + key, "unknown key \"" + key + "\"");
    }
  }
  std::string Str(const json& v, const std::string& where) const {
    Expect(v.is_string(), where, "expected a string");
    return v.get<std::string>();
  }
  Text OptionalText(const json& object, const char* key, const std::string& where) const {
    if (!object.contains(key) || object[key].is_null()) return std::nullopt;
    return Utf16(Str(object[key], where + "/" + key));
  }
  long Integer(const json& v, const std::string& where) const {
    Expect(v.is_number_integer(), where, "expected an integer");
    const long long n = v.get<long long>();
    Expect(n >= INT32_MIN && n <= INT32_MAX, where, "the number is out of range");
    return static_cast<long>(n);
  }
  long Result(const json& v, const std::string& where) const {
    if (v.is_number_integer()) return static_cast<long>(v.get<long long>());
    const std::string text = Str(v, where);
    if (text == "fail") return static_cast<long>(0x80004005);
    static const std::regex kHex("0[xX]([0-9a-fA-F]{1,8})");
    std::smatch m;
    Expect(std::regex_match(text, m, kHex), where, "expected an HRESULT such as \"0x80004005\"");
    return static_cast<long>(std::stoul(m[1], nullptr, 16));
  }

  // "2026-12-10 09:30[:15]", "2026-12-10", "today 09:30", "today+3 09:30",
  // "today-1", "now", "now+90m", "now-2h", "now+1d".
  double Date(const json& v, const std::string& where) const {
    const std::string text = Str(v, where);
    static const std::regex kAbsolute(
        R"((\d{4})-(\d{2})-(\d{2})(?:[ T](\d{2}):(\d{2})(?::(\d{2}))?)?)");
    static const std::regex kToday(R"(today(?:([+-]\d+))?(?: (\d{2}):(\d{2})(?::(\d{2}))?)?)");
    static const std::regex kNow(R"(now(?:([+-]\d+)([dhm]))?)");
    std::smatch m;
    DateTime t;
    // An offset too long for an int is a date out of range, not a crash.
    auto field = [&](size_t i) {
      if (!m[i].matched) return 0;
      Expect(m[i].length() <= 10 && std::stol(m[i]) >= INT_MIN && std::stol(m[i]) <= INT_MAX, where,
             "date out of range");
      return static_cast<int>(std::stol(m[i]));
    };
    if (std::regex_match(text, m, kAbsolute)) {
      t = {field(1), field(2), field(3), field(4), field(5), field(6)};
    } else if (std::regex_match(text, m, kToday)) {
      const auto day = OleToDateTime(std::floor(now_) + field(1));
      Expect(day.has_value(), where, "date out of range");
      t = {day->year, day->month, day->day, field(2), field(3), field(4)};
    } else if (std::regex_match(text, m, kNow)) {
      const double perUnit = !m[2].matched ? 0 : m[2] == "d" ? 1.0 : m[2] == "h" ? 1.0 / 24 : 1.0 / 1440;
      const auto moment = OleToDateTime(now_ + field(1) * perUnit);
      Expect(moment.has_value(), where, "date out of range");
      t = *moment;
    } else {
      Fail(where, "expected a date such as \"2026-12-10 09:30\", \"today+1 09:30\" or \"now+2h\"");
    }
    const auto serial = DateTimeToOle(t);
    Expect(serial.has_value(), where, "no such date or time \"" + text + "\"");
    return *serial;
  }

  ItemFaults Faults(const json& item, const std::string& where) const {
    ItemFaults faults;
    if (item.contains("fetch")) {
      const std::string w = where + "/fetch";
      const std::string how = Str(item["fetch"], w);
      if (how == "empty") {
        faults.fetch = ItemFaults::Fetch::kEmpty;
      } else {
        faults.fetch = ItemFaults::Fetch::kFail;
        faults.fetchResult = how == "fail" ? kNotFound : Result(item["fetch"], w);
      }
    }
    if (item.contains("failing")) {
      const std::string w = where + "/failing";
      Expect(item["failing"].is_object(), w, "expected an object of member names");
      for (const auto& [member, result] : item["failing"].items()) {
        faults.failingMembers[member] = Result(result, w + "/" + member);
      }
    }
    return faults;
  }

  std::string HexId(const json& v, const std::string& where) const {
    const std::string text = Str(v, where);
    static const std::regex kHex("([0-9a-fA-F]{2})*");
    Expect(std::regex_match(text, kHex), where, "expected hexadecimal text, two digits per byte");
    return text;
  }

  void ReadContacts(const json& list, const std::string& where, Store& store) {
    Expect(list.is_array(), where, "expected a list of items");
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string w = where + "/" + std::to_string(i);
      const json& item = list[i];
      Expect(item.is_object(), w, "expected an object");
      if (item.contains("kind") && Str(item["kind"], w + "/kind") != "contact") {
        store.contacts.push_back(ReadOther(item, w));
        continue;
      }
      Keys(item, w, {"kind", "key", "fullName", "firstName", "mobile", "primary", "entryId",
                     "categories", "fetch", "failing"});
      Contact c;
      c.fullName = OptionalText(item, "fullName", w);
      c.firstName = OptionalText(item, "firstName", w);
      c.mobile = OptionalText(item, "mobile", w);
      c.primary = OptionalText(item, "primary", w);
      if (item.contains("categories")) c.categories = OptionalText(item, "categories", w);
      c.entryId = item.contains("entryId") ? HexId(item["entryId"], w + "/entryId")
                                           : ContactEntryId(static_cast<uint32_t>(i + 1));
      if (item.contains("key")) {
        c.key = Str(item["key"], w + "/key");
        Expect(contactIds_.emplace(c.key, c.entryId).second, w + "/key",
               "contact key \"" + c.key + "\" is used twice");
      }
      store.contacts.push_back({std::move(c), Faults(item, w)});
    }
  }

  StoreItem ReadOther(const json& item, const std::string& where) const {
    Keys(item, where, {"kind", "subject", "fetch", "failing"});
    OtherItem other;
    const std::string kind = Str(item["kind"], where + "/kind");
    static const std::map<std::string, std::string> kClasses = {
        {"distributionList", "IPM.DistList"}, {"note", "IPM.StickyNote"},
        {"task", "IPM.Task"}, {"mail", "IPM.Note"}};
    auto found = kClasses.find(kind);
    Expect(found != kClasses.end(), where + "/kind",
           "unknown kind \"" + kind + "\" (contact, appointment, distributionList, note, task, mail)");
    other.messageClass = found->second;
    other.subject = OptionalText(item, "subject", where);
    return {std::move(other), Faults(item, where)};
  }

  void ReadCalendar(const json& list, const std::string& where, Store& store) {
    Expect(list.is_array(), where, "expected a list of items");
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string w = where + "/" + std::to_string(i);
      const json& item = list[i];
      Expect(item.is_object(), w, "expected an object");
      if (item.contains("kind") && Str(item["kind"], w + "/kind") != "appointment") {
        store.calendar.push_back(ReadOther(item, w));
        continue;
      }
      Keys(item, w, {"kind", "subject", "start", "meetingStatus", "recipients", "recurrence",
                     "fetch", "failing"});
      Appointment a;
      a.subject = OptionalText(item, "subject", w);
      Expect(item.contains("start"), w, "an appointment needs a \"start\"");
      a.start = Date(item["start"], w + "/start");
      if (item.contains("recipients")) a.recipients = Recipients(item["recipients"], w + "/recipients");
      a.meetingStatus = item.contains("meetingStatus")
                            ? MeetingStatus(item["meetingStatus"], w + "/meetingStatus")
                            : (a.recipients.empty() ? 0 : 1);
      if (item.contains("recurrence")) a.recurrence = ReadRecurrence(item["recurrence"], w + "/recurrence");
      store.calendar.push_back({std::move(a), Faults(item, w)});
    }
  }

  long MeetingStatus(const json& v, const std::string& where) const {
    if (v.is_number_integer()) return Integer(v, where);
    static const std::map<std::string, long> kNames = {
        {"none", 0}, {"meeting", 1}, {"received", 3}, {"cancelled", 5}, {"receivedCancelled", 7}};
    auto found = kNames.find(Str(v, where));
    Expect(found != kNames.end(), where,
           "expected a number or none, meeting, received, cancelled, receivedCancelled");
    return found->second;
  }

  std::vector<RecipientRecord> Recipients(const json& list, const std::string& where) const {
    Expect(list.is_array(), where, "expected a list of recipients");
    std::vector<RecipientRecord> recipients;
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string w = where + "/" + std::to_string(i);
      const json& r = list[i];
      Expect(r.is_object(), w, "expected an object");
      Keys(r, w, {"contact", "name", "address", "entryId", "fetch", "failing"});
      RecipientRecord rec;
      rec.name = OptionalText(r, "name", w);
      rec.address = OptionalText(r, "address", w);
      if (r.contains("contact")) {
        const std::string key = Str(r["contact"], w + "/contact");
        auto found = contactIds_.find(key);
        Expect(found != contactIds_.end(), w + "/contact", "no contact has the key \"" + key + "\"");
        rec.entryId = AddressBookRecipientEntryId(found->second);
      } else if (r.contains("entryId")) {
        rec.entryId = HexId(r["entryId"], w + "/entryId");
      } else {
        Expect(rec.address.has_value(), w, "a recipient needs \"contact\", \"address\" or \"entryId\"");
        rec.entryId = OneOffRecipientEntryId(rec.name.value_or(*rec.address), *rec.address);
      }
      rec.faults = Faults(r, w);
      recipients.push_back(std::move(rec));
    }
    return recipients;
  }

  Recurrence ReadRecurrence(const json& r, const std::string& where) const {
    Expect(r.is_object(), where, "expected an object");
    Keys(r, where, {"pattern", "interval", "weekdays", "count", "until", "deleted", "moved"});
    Recurrence rec;
    Expect(r.contains("pattern"), where, "a recurrence needs a \"pattern\"");
    const std::string pattern = Str(r["pattern"], where + "/pattern");
    if (pattern == "daily") {
      rec.pattern = Recurrence::Pattern::kDaily;
    } else if (pattern == "weekly") {
      rec.pattern = Recurrence::Pattern::kWeekly;
    } else if (pattern == "monthly") {
      rec.pattern = Recurrence::Pattern::kMonthly;
    } else {
      Fail(where + "/pattern", "expected daily, weekly or monthly");
    }
    if (r.contains("interval")) {
      rec.interval = Integer(r["interval"], where + "/interval");
      Expect(rec.interval >= 1, where + "/interval", "the interval must be at least 1");
    }
    if (r.contains("weekdays")) rec.weekdays = Weekdays(r["weekdays"], where + "/weekdays");
    if (r.contains("count")) {
      rec.count = Integer(r["count"], where + "/count");
      Expect(*rec.count >= 1, where + "/count", "the count must be at least 1");
    }
    if (r.contains("until")) rec.until = Date(r["until"], where + "/until");
    if (r.contains("deleted")) {
      Expect(r["deleted"].is_array(), where + "/deleted", "expected a list of dates");
      for (size_t i = 0; i < r["deleted"].size(); ++i) {
        rec.deleted.push_back(Date(r["deleted"][i], where + "/deleted/" + std::to_string(i)));
      }
    }
    if (r.contains("moved")) {
      Expect(r["moved"].is_array(), where + "/moved", "expected a list of {from, to}");
      for (size_t i = 0; i < r["moved"].size(); ++i) {
        const std::string w = where + "/moved/" + std::to_string(i);
        const json& m = r["moved"][i];
        Expect(m.is_object() && m.contains("from") && m.contains("to"), w,
               "expected {\"from\": date, \"to\": date}");
        Keys(m, w, {"from", "to"});
        rec.moved.emplace_back(Date(m["from"], w + "/from"), Date(m["to"], w + "/to"));
      }
    }
    return rec;
  }

  unsigned Weekdays(const json& list, const std::string& where) const {
    static const char* kNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    Expect(list.is_array(), where, "expected a list such as [\"Mon\", \"Thu\"]");
    unsigned mask = 0;
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string w = where + "/" + std::to_string(i);
      const std::string name = Str(list[i], w);
      int day = 0;
      while (day < 7 && name != kNames[day]) ++day;
      Expect(day < 7, w, "expected Sun, Mon, Tue, Wed, Thu, Fri or Sat");
      mask |= 1u << day;
    }
    return mask;
  }

  void ReadFaults(const json& f, const std::string& where, LoadedStore& loaded) const {
    Expect(f.is_object(), where, "expected an object");
    Keys(f, where, {"noActiveExplorer", "openItemLimit", "rules"});
    if (f.contains("noActiveExplorer")) {
      Expect(f["noActiveExplorer"].is_boolean(), where + "/noActiveExplorer", "expected true or false");
      loaded.noActiveExplorer = f["noActiveExplorer"].get<bool>();
    }
    if (f.contains("openItemLimit")) {
      const std::string w = where + "/openItemLimit";
      loaded.openItemLimit = Integer(f["openItemLimit"], w);
      Expect(*loaded.openItemLimit >= 0, w, "expected a number of items, 0 or more");
    }
    if (!f.contains("rules")) return;
    const json& rules = f["rules"];
    Expect(rules.is_array(), where + "/rules", "expected a list of rules");
    for (size_t i = 0; i < rules.size(); ++i) {
      const std::string w = where + "/rules/" + std::to_string(i);
      const json& r = rules[i];
      Expect(r.is_object() && r.contains("member") && r.contains("result"), w,
             "a rule needs \"member\" and \"result\"");
      Keys(r, w, {"member", "result", "skip", "count", "tag"});
      FaultRule rule;
      rule.member = Str(r["member"], w + "/member");
      rule.result = Result(r["result"], w + "/result");
      if (r.contains("skip")) rule.skip = Integer(r["skip"], w + "/skip");
      if (r.contains("count")) rule.count = Integer(r["count"], w + "/count");
      if (r.contains("tag")) rule.tag = Utf16(Str(r["tag"], w + "/tag"));
      loaded.faults.push_back(std::move(rule));
    }
  }

  std::string source_;
  double now_;
  std::map<std::string, std::string> contactIds_;
};

std::string LineAndColumn(const std::string& text, size_t byte) {
  size_t line = 1, column = 1;
  for (size_t i = 0; i + 1 < byte && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

LoadedStore ParseStore(const std::string& text, const std::string& sourceName, double nowLocal) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& e) {
    std::string what = e.what();
    // Keep the parser's reason, drop its own position prefix.
    const size_t reason = what.find(": ", what.find("parse error"));
    throw StoreError(sourceName + ": at " + LineAndColumn(text, e.byte) + ": invalid JSON" +
                     (reason == std::string::npos ? "" : what.substr(reason)));
  } catch (const json::out_of_range& e) {
    // A number too large for a double; the parser gives no position for it.
    const std::string what = e.what();
    const size_t reason = what.find("] ");
    throw StoreError(sourceName + ": invalid JSON: " +
                     (reason == std::string::npos ? what : what.substr(reason + 2)));
  }
  return Reader(sourceName, nowLocal).Read(root);
}

LoadedStore LoadStoreFile(const std::filesystem::path& path, double nowLocal) {
  std::ifstream file(path, std::ios::binary);
  const std::string name = path.u8string();
  if (!file) throw StoreError(name + ": cannot open the store file");
  std::ostringstream text;
  text << file.rdbuf();
  return ParseStore(text.str(), name, nowLocal);
}

}  // namespace standin
