#pragma once
#include <algorithm>
#include <optional>
#include <vector>

#include "mailstore/call_counter.h"
#include "mailstore/fault_book.h"
#include "mailstore/store.h"

namespace standin {

// Items of the store whose automation objects are alive. A client online
// against an Exchange server may hold only so many at once per session.
struct OpenItems {
  std::optional<long> limit;
  long count = 0;
  long most = 0;  // the highest count since the last reset
  bool Full() const { return limit && count >= *limit; }
  void Open() { most = std::max(most, ++count); }
};

// What every automation object of one stand-in shares: the store, the
// injected faults and the call counts.
struct World {
  Store store;
  FaultBook faults;
  CallCounter calls;
  OpenItems openItems;
  bool hasActiveExplorer = true;
  // The contacts (positions in the contacts folder, from 0) selected in the
  // explorer.
  std::vector<size_t> selection;
  // Office refuses a second toolbar of the same name; some hosts do not.
  bool uniqueToolbarNames = true;
};

}  // namespace standin
