#include "mailstore/fault_book.h"

namespace standin {

void FaultBook::Add(FaultRule rule) { entries_.push_back({std::move(rule), 0}); }

void FaultBook::Clear() { entries_.clear(); }

std::optional<long> FaultBook::Check(const std::string& member, const std::u16string& tag) {
  std::optional<long> failure;
  for (auto& entry : entries_) {
    const FaultRule& rule = entry.rule;
    if (rule.member != member || (rule.tag && *rule.tag != tag)) continue;
    const long call = ++entry.seen;
    const bool active = call > rule.skip && (rule.count < 0 || call <= rule.skip + rule.count);
    if (active && !failure) failure = rule.result;
  }
  return failure;
}

}  // namespace standin
