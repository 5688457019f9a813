#pragma once
#include "standin/automation_object.h"

namespace standin {

class Explorer;

// The automation object of a store item: a contact, an appointment or
// another item.
ComPtr<IDispatch> ItemObject(const std::shared_ptr<World>& world, const StoreItem& item);

// The application object a host hands to its add-ins.
class Application : public AutomationObject {
 public:
  explicit Application(std::shared_ptr<World> world);
  Explorer& MainExplorer() { return *explorer_.Get(); }

 protected:
  HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                       EXCEPINFO* exception) override;
  bool AnswersAsDispatch(REFIID iid) const override;

 private:
  ComPtr<IDispatch> session_;
  ComPtr<Explorer> explorer_;
};

}  // namespace standin
