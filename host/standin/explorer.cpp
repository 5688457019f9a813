#include "standin/explorer.h"

namespace standin {

Explorer::Explorer(std::shared_ptr<World> world)
    : AutomationObject(world, "Explorer", kMembers, std::size(kMembers)),
      bars_(Make<CommandBars>(world)) {}

HRESULT Explorer::InvokeMember(DISPID id, WORD flags, const Args&, VARIANT* result, EXCEPINFO*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (id == 1) return ReturnObject(result, bars_.Get());
  return ReturnText(result, u"Calendar - Mail stand-in");
}

}  // namespace standin
