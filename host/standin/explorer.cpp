#include "standin/explorer.h"

#include "standin/mail_objects.h"

namespace standin {

Explorer::Explorer(std::shared_ptr<World> world)
    : AutomationObject(world, "Explorer", kMembers, std::size(kMembers)),
      bars_(Make<CommandBars>(world)) {}

HRESULT Explorer::InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (id == 1) return ReturnObject(result, bars_.Get());
  if (id == 3) return ReturnObject(result, Make<Selection>(world_).Get());
  return ReturnText(result, u"Calendar - Mail stand-in");
}

// A selection is what was selected when it was asked for.
Selection::Selection(std::shared_ptr<World> world)
    : AutomationObject(world, "Selection", kMembers, std::size(kMembers)), items_(world->selection) {}

HRESULT Selection::InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result, EXCEPINFO*) {
  if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
  if (id == 1) return ReturnLong(result, static_cast<long>(items_.size()));
  const auto n = args.Long(0);
  if (!n) return DISP_E_TYPEMISMATCH;
  if (*n < 1 || static_cast<size_t>(*n) > items_.size()) return DISP_E_BADINDEX;
  const size_t position = items_[*n - 1];
  if (position >= world_->store.contacts.size()) return DISP_E_BADINDEX;
  return ReturnObject(result, ItemObject(world_, world_->store.contacts[position]).Get());
}

Inspector::Inspector(std::shared_ptr<World> world, size_t contact)
    : AutomationObject(world, "Inspector", kMembers, std::size(kMembers)), contact_(contact) {}

HRESULT Inspector::InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (contact_ >= world_->store.contacts.size()) return DISP_E_BADINDEX;
  if (id == 1) return ReturnObject(result, ItemObject(world_, world_->store.contacts[contact_]).Get());
  return ReturnText(result, u"Contact - Mail stand-in");
}

}  // namespace standin
