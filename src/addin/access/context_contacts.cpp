#include "addin/access/context_contacts.h"

#include "addin/access/outlook_access.h"

namespace outlook {

std::vector<Dispatch> ContactsInContext(const Dispatch& context) {
  std::vector<Dispatch> contacts;
  if (!context) return contacts;
  Variant current;
  if (SUCCEEDED(context.GetProperty(L"CurrentItem", current))) {
    auto item = current.AsObject();
    if (item && IsContact(Dispatch(item))) contacts.emplace_back(item);
    return contacts;
  }
  const long count = Count(context);
  for (long i = 1; i <= count; ++i) {
    Dispatch item = ItemAt(context, i);
    if (item && IsContact(item)) contacts.push_back(std::move(item));
  }
  return contacts;
}

}  // namespace outlook
