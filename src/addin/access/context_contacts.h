#pragma once
#include <vector>

#include "addin/access/dispatch.h"

namespace outlook {

// The contacts a ribbon control's context holds: the items of a selection
// (Count, Item) that are contacts, or the contact an item window
// (CurrentItem) shows. Other items, and what cannot be read, are left out.
std::vector<Dispatch> ContactsInContext(const Dispatch& context);

}  // namespace outlook
