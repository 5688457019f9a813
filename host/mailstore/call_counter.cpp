#include "mailstore/call_counter.h"

namespace standin {

long CallCounter::Of(const std::string& member) const {
  auto found = counts_.find(member);
  return found == counts_.end() ? 0 : found->second;
}

long CallCounter::Total() const {
  long total = 0;
  for (const auto& [member, count] : counts_) total += count;
  return total;
}

std::string CallCounter::Report() const {
  std::string report;
  for (const auto& [member, count] : counts_) {
    report += member + " " + std::to_string(count) + "\n";
  }
  report += "total " + std::to_string(Total()) + "\n";
  return report;
}

}  // namespace standin
