#pragma once
#include <cstdint>
#include <string>

namespace standin {

// The shape of a generated store, for benchmarks: contacts, then meetings
// spread over the coming weeks with attendees drawn from the contacts.
struct GeneratedStoreShape {
  int contacts = 10000;
  int meetings = 2000;
  int attendees = 5;
  int days = 28;         // meetings start within today .. today+days
  uint32_t seed = 1;     // the same seed gives the same store
};

// The store as JSON text in the loader's format, with relative dates.
// Every tenth contact lacks a mobile number, every fiftieth is a
// distribution list, every twentieth meeting is cancelled, every
// twenty-fifth a daily or weekly series, and every tenth attendee a bare
// address rather than a contact.
std::string GenerateStore(const GeneratedStoreShape& shape);

}  // namespace standin
