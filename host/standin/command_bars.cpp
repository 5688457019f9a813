#include "standin/command_bars.h"

#include "standin/mail_ids.h"

namespace standin {

namespace {

constexpr long kButton = 1;        // msoControlButton
constexpr long kBarFloating = 4;   // msoBarFloating, Office's default position

template <class T>
HRESULT ItemByNumber(const Args& args, const std::vector<ComPtr<T>>& list, VARIANT* result) {
  const auto n = args.Long(0);
  if (!n) return DISP_E_TYPEMISMATCH;
  if (*n < 1 || static_cast<size_t>(*n) > list.size()) return DISP_E_BADINDEX;
  return ReturnObject(result, static_cast<IDispatch*>(list[*n - 1].Get()));
}

}  // namespace

CommandBarControls::CommandBarControls(std::shared_ptr<World> world)
    : AutomationObject(std::move(world), "CommandBarControls", kMembers, std::size(kMembers)) {}

void CommandBarControls::Clear() {
  for (auto& button : buttons_) button->DropSinks();
  buttons_.clear();
}

HRESULT CommandBarControls::InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                                         EXCEPINFO*) {
  if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
  switch (id) {
    case 1: return Add(args, result);
    case 2: return ReturnLong(result, static_cast<long>(buttons_.size()));
    case 0: return ItemByNumber(args, buttons_, result);
  }
  return DISP_E_MEMBERNOTFOUND;
}

// Add(Type, Id, Parameter, Before, Temporary): only plain buttons are
// offered; Before numbers the control to insert in front of.
HRESULT CommandBarControls::Add(const Args& args, VARIANT* result) {
  const long type = args.Has(0) ? args.Long(0).value_or(-1) : kButton;
  if (type != kButton) return E_INVALIDARG;
  const long before = args.Has(3) ? args.Long(3).value_or(-1)
                                  : static_cast<long>(buttons_.size()) + 1;
  if (before < 1 || before > static_cast<long>(buttons_.size()) + 1) return E_INVALIDARG;
  auto button = Make<CommandBarButton>(world_, args.Long(1).value_or(1),
                                       args.Text(2).value_or(u""));
  buttons_.insert(buttons_.begin() + (before - 1), button);
  return ReturnObject(result, static_cast<IDispatch*>(button.Get()));
}

CommandBar::CommandBar(std::shared_ptr<World> world, CommandBars* owner, std::u16string name,
                       long position, bool temporary)
    : AutomationObject(world, "CommandBar", kMembers, std::size(kMembers)),
      owner_(owner),
      name_(std::move(name)),
      position_(position),
      temporary_(temporary),
      controls_(Make<CommandBarControls>(world)) {}

HRESULT CommandBar::InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                                 EXCEPINFO*) {
  if (flags & DISPATCH_PROPERTYPUT) {
    if (id != 2) return DISP_E_MEMBERNOTFOUND;
    VARIANT v;
    HRESULT hr = PutValueAs(args, VT_BOOL, v);
    if (SUCCEEDED(hr)) visible_ = v.boolVal != VARIANT_FALSE;
    return hr;
  }
  switch (id) {
    case 1: return ReturnText(result, name_);
    case 2: return ReturnBool(result, visible_);
    case 3: return ReturnObject(result, controls_.Get());
    case 4: return ReturnLong(result, position_);
    case 5: {
      // The caller's reference keeps this bar alive through its removal.
      if (owner_) owner_->Remove(*this);
      owner_ = nullptr;
      return S_OK;
    }
  }
  return DISP_E_MEMBERNOTFOUND;
}

CommandBars::CommandBars(std::shared_ptr<World> world)
    : AutomationObject(std::move(world), "CommandBars", kMembers, std::size(kMembers)) {}

CommandBars::~CommandBars() {
  for (auto& bar : bars_) bar->Orphan();
}

void CommandBars::Clear() {
  for (auto& bar : bars_) {
    bar->Controls().Clear();
    bar->Orphan();
  }
  bars_.clear();
}

void CommandBars::Remove(CommandBar& bar) {
  bar.Controls().Clear();
  for (auto it = bars_.begin(); it != bars_.end(); ++it) {
    if (it->Get() == &bar) {
      bars_.erase(it);
      return;
    }
  }
}

HRESULT CommandBars::InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                                  EXCEPINFO*) {
  if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
  switch (id) {
    case 1: return Add(args, result);
    case 2: return ReturnLong(result, static_cast<long>(bars_.size()));
    case 0: {
      if (const auto name = args.Text(0); name && !args.Long(0)) {
        for (auto& bar : bars_) {
          if (bar->Name() == *name) return ReturnObject(result, bar.Get());
        }
        return E_INVALIDARG;
      }
      return ItemByNumber(args, bars_, result);
    }
  }
  return DISP_E_MEMBERNOTFOUND;
}

// Add(Name, Position, MenuBar, Temporary). Office refuses a name that a
// toolbar of this window already has.
HRESULT CommandBars::Add(const Args& args, VARIANT* result) {
  std::u16string name = args.Text(0).value_or(u"");
  if (name.empty()) {
    const std::string number = std::to_string(bars_.size() + 1);
    name = u"Custom " + std::u16string(number.begin(), number.end());
  }
  if (world_->uniqueToolbarNames) {
    for (const auto& bar : bars_) {
      if (bar->Name() == name) return kInvalidCall;
    }
  }
  const long position = args.Has(1) ? args.Long(1).value_or(kBarFloating) : kBarFloating;
  const bool temporary = args.Has(3) && args.Bool(3).value_or(false);
  auto bar = Make<CommandBar>(world_, this, std::move(name), position, temporary);
  bars_.push_back(bar);
  return ReturnObject(result, bar.Get());
}

}  // namespace standin
