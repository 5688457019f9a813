#pragma once
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "mailstore/fault_book.h"
#include "mailstore/store.h"

namespace standin {

// A store that cannot be read; the message names the file and the place
// (line and column, or the JSON pointer of the bad value).
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LoadedStore {
  Store store;
  std::vector<FaultRule> faults;
  bool noActiveExplorer = false;
  // Items that may be open at once, as an Exchange server limits a session.
  std::optional<long> openItemLimit;
};

// Relative dates in the store ("today+2 09:30") count from the local date
// of `nowLocal`, an OLE date.
LoadedStore ParseStore(const std::string& json, const std::string& sourceName, double nowLocal);
LoadedStore LoadStoreFile(const std::filesystem::path& path, double nowLocal);

}  // namespace standin
