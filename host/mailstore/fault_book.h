#pragma once
#include <optional>
#include <string>
#include <vector>

namespace standin {

// A member call that is made to fail: "CommandBars.Add" refused with
// `result`, after `skip` calls went through, `count` times (all later
// calls when count is negative). A rule with a tag applies only to the
// command-bar button carrying that tag.
struct FaultRule {
  std::string member;  // "Class.Member", e.g. "CommandBarButton.FaceId"
  long result = 0;
  long skip = 0;
  long count = -1;
  std::optional<std::u16string> tag;
};

class FaultBook {
 public:
  void Add(FaultRule rule);
  void Clear();
  // Counts the call and gives the HRESULT it must fail with, if any.
  std::optional<long> Check(const std::string& member, const std::u16string& tag = u"");

 private:
  struct Entry {
    FaultRule rule;
    long seen = 0;
  };
  std::vector<Entry> entries_;
};

}  // namespace standin
