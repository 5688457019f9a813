#pragma once
#include "mailstore/call_counter.h"
#include "mailstore/fault_book.h"
#include "mailstore/store.h"

namespace standin {

// What every automation object of one stand-in shares: the store, the
// injected faults and the call counts.
struct World {
  Store store;
  FaultBook faults;
  CallCounter calls;
  bool hasActiveExplorer = true;
  // Office refuses a second toolbar of the same name; some hosts do not.
  bool uniqueToolbarNames = true;
};

}  // namespace standin
