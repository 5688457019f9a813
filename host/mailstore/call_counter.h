#pragma once
#include <map>
#include <string>

namespace standin {

// Calls into the stand-in per member ("ContactItem.EntryID"): the cost a
// real client charges is per call, so this is what benchmarks compare.
class CallCounter {
 public:
  void Count(const std::string& member) { ++counts_[member]; }
  long Of(const std::string& member) const;
  long Total() const;
  const std::map<std::string, long>& All() const { return counts_; }
  void Reset() { counts_.clear(); }
  // One "member count" line per member, in name order, then the total.
  std::string Report() const;

 private:
  std::map<std::string, long> counts_;
};

}  // namespace standin
