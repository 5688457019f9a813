#pragma once
#include "standin/automation_object.h"
#include "standin/command_bars.h"

namespace standin {

// The client's main window; it owns the command bars add-ins put on it.
class Explorer : public AutomationObject {
 public:
  explicit Explorer(std::shared_ptr<World> world);
  CommandBars& Bars() { return *bars_.Get(); }

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  static constexpr Member kMembers[] = {{L"CommandBars", 1}, {L"Caption", 2}};
  ComPtr<CommandBars> bars_;
};

}  // namespace standin
