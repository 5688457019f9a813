#pragma once
#include "standin/automation_object.h"
#include "standin/command_bars.h"

namespace standin {

// The client's main window; it owns the command bars add-ins put on it.
// Its Selection is the contacts the user selected (World::selection).
class Explorer : public AutomationObject {
 public:
  explicit Explorer(std::shared_ptr<World> world);
  CommandBars& Bars() { return *bars_.Get(); }

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  static constexpr Member kMembers[] = {{L"CommandBars", 1}, {L"Caption", 2}, {L"Selection", 3}};
  ComPtr<CommandBars> bars_;
};

// The selected items, numbered from 1 in the order selected.
class Selection : public AutomationObject {
 public:
  explicit Selection(std::shared_ptr<World> world);

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  static constexpr Member kMembers[] = {{L"Count", 1}, {L"Item", 0}};
  std::vector<size_t> items_;
};

// The window of one open contact (an inspector): CurrentItem is the contact.
class Inspector : public AutomationObject {
 public:
  Inspector(std::shared_ptr<World> world, size_t contact);

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  static constexpr Member kMembers[] = {{L"CurrentItem", 1}, {L"Caption", 2}};
  size_t contact_;
};

}  // namespace standin
