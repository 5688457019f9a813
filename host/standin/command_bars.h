#pragma once
#include <vector>

#include "standin/automation_object.h"
#include "standin/command_bar_button.h"

namespace standin {

// The controls of one toolbar, numbered from 1.
class CommandBarControls : public AutomationObject {
 public:
  explicit CommandBarControls(std::shared_ptr<World> world);
  const std::vector<ComPtr<CommandBarButton>>& Buttons() const { return buttons_; }
  void Clear();

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  HRESULT Add(const Args& args, VARIANT* result);

  static constexpr Member kMembers[] = {{L"Add", 1}, {L"Count", 2}, {L"Item", 0}};
  std::vector<ComPtr<CommandBarButton>> buttons_;
};

class CommandBars;

class CommandBar : public AutomationObject {
 public:
  CommandBar(std::shared_ptr<World> world, CommandBars* owner, std::u16string name, long position,
             bool temporary);
  // The bar's window closed: Delete has nothing to take it from.
  void Orphan() { owner_ = nullptr; }
  const std::u16string& Name() const { return name_; }
  long Position() const { return position_; }
  bool Temporary() const { return temporary_; }
  bool Visible() const { return visible_; }
  CommandBarControls& Controls() { return *controls_.Get(); }

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  static constexpr Member kMembers[] = {
      {L"Name", 1}, {L"Visible", 2}, {L"Controls", 3}, {L"Position", 4}, {L"Delete", 5}};
  CommandBars* owner_;
  std::u16string name_;
  long position_;
  bool temporary_;
  bool visible_ = false;
  ComPtr<CommandBarControls> controls_;
};

// An explorer's command bars; add-ins add their toolbars here.
class CommandBars : public AutomationObject {
 public:
  explicit CommandBars(std::shared_ptr<World> world);
  const std::vector<ComPtr<CommandBar>>& All() const { return bars_; }
  ~CommandBars() override;
  // The host is closing: toolbars go, and their buttons drop their sinks.
  void Clear();
  // CommandBar.Delete: the bar and its buttons go, the buttons' sinks too.
  void Remove(CommandBar& bar);

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;

 private:
  HRESULT Add(const Args& args, VARIANT* result);

  static constexpr Member kMembers[] = {{L"Add", 1}, {L"Count", 2}, {L"Item", 0}};
  std::vector<ComPtr<CommandBar>> bars_;
};

}  // namespace standin
