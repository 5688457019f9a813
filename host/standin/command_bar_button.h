#pragma once
#include <map>

#include "standin/automation_object.h"
// After automation_object.h, which brings windows.h.
#include <ocidl.h>
#include <olectl.h>

namespace standin {

// A toolbar button. Add-ins advise its connection point for the Click
// events; Click() is what a user's press on the button does.
class CommandBarButton : public AutomationObject, public IConnectionPointContainer {
 public:
  CommandBarButton(std::shared_ptr<World> world, long id, std::u16string parameter);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return AutomationObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AutomationObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return AutomationObject::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  const std::u16string& Caption() const { return caption_; }
  const std::u16string& TooltipText() const { return tooltip_; }
  const std::u16string& Tag() const { return tag_; }
  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  long FaceId() const { return faceId_; }
  long Style() const { return style_; }
  size_t SinkCount() const { return sinks_.size(); }

  // Fires Click (dispid 1: the button, then a by-reference cancel flag) at
  // every advised sink, in the order they were advised. Gives the number
  // of sinks reached.
  size_t Click(bool& cancelDefault);
  // The host is closing: the button lets go of its sinks.
  void DropSinks() {
    // A sink released here may unadvise itself, which erases from sinks_:
    // take them out of the map before they go.
    auto dropped = std::move(sinks_);
    sinks_.clear();
  }

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;
  bool AnswersAsDispatch(REFIID iid) const override;
  void* OtherInterface(REFIID iid) override;
  std::u16string FaultTag() const override { return tag_; }

 private:
  // The button's connection point for _CommandBarButtonEvents; it lives and
  // counts references as part of the button.
  class EventConnection : public IConnectionPoint {
   public:
    explicit EventConnection(CommandBarButton& button) : button_(button) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return button_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return button_.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

   private:
    CommandBarButton& button_;
  };

  HRESULT Property(DISPID id, WORD flags, const Args& args, VARIANT* result);

  static constexpr Member kMembers[] = {
      {L"Visible", 1}, {L"Caption", 2}, {L"Enabled", 3}, {L"TooltipText", 4},
      {L"Tag", 5},     {L"FaceId", 6},  {L"Style", 7},   {L"Type", 8},
      {L"Id", 9},      {L"Parameter", 10}, {L"Execute", 11}};
  EventConnection connection_{*this};
  std::map<DWORD, ComPtr<IDispatch>> sinks_;
  DWORD nextCookie_ = 1;
  long id_;
  std::u16string parameter_, caption_, tooltip_, tag_;
  bool visible_ = true, enabled_ = true;
  long faceId_ = 0, style_ = 0;
};

}  // namespace standin
