#include "standin/stand_in.h"

#include "platform/ole_date.h"
#include "standin/command_bars.h"
#include "standin/explorer.h"
#include "standin/mail_objects.h"

namespace standin {

namespace {

double NowLocal() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DateTimeToOle({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond})
      .value_or(0);
}

ButtonState StateOf(const CommandBarButton& b) {
  return {b.Caption(), b.TooltipText(), b.Tag(), b.Visible(), b.Enabled(),
          b.FaceId(),  b.Style(),       b.SinkCount()};
}

}  // namespace

std::unique_ptr<StandIn> StandIn::FromFile(const std::filesystem::path& path) {
  return std::unique_ptr<StandIn>(new StandIn(LoadStoreFile(path, NowLocal())));
}

std::unique_ptr<StandIn> StandIn::FromJson(const std::string& json, const std::string& sourceName) {
  return std::unique_ptr<StandIn>(new StandIn(ParseStore(json, sourceName, NowLocal())));
}

StandIn::StandIn(LoadedStore loaded) : world_(std::make_shared<World>()) {
  world_->store = std::move(loaded.store);
  for (auto& rule : loaded.faults) world_->faults.Add(std::move(rule));
  world_->hasActiveExplorer = !loaded.noActiveExplorer;
  world_->openItems.limit = loaded.openItemLimit;
  application_ = Make<standin::Application>(world_);
}

StandIn::~StandIn() { Close(); }

Microsoft::WRL::ComPtr<IDispatch> StandIn::Application() const { return application_; }

FaultBook& StandIn::Faults() { return world_->faults; }

void StandIn::SetActiveExplorer(bool present) { world_->hasActiveExplorer = present; }

void StandIn::SetUniqueToolbarNames(bool unique) { world_->uniqueToolbarNames = unique; }

CallCounter& StandIn::Calls() { return world_->calls; }

void StandIn::SetOpenItemLimit(std::optional<long> limit) { world_->openItems.limit = limit; }

long StandIn::OpenItems() const { return world_->openItems.count; }

bool StandIn::DeleteContact(const std::u16string& fullName) {
  auto& contacts = world_->store.contacts;
  for (auto item = contacts.begin(); item != contacts.end(); ++item) {
    const auto* contact = std::get_if<Contact>(&item->content);
    if (contact && contact->fullName == fullName) {
      contacts.erase(item);
      return true;
    }
  }
  return false;
}

long StandIn::MostOpenItems() const { return world_->openItems.most; }

void StandIn::ResetMostOpenItems() { world_->openItems.most = world_->openItems.count; }

std::u16string StandIn::Version() const { return world_->store.version; }

std::vector<std::u16string> StandIn::ContactsFolderNames() const {
  std::vector<std::u16string> names;
  for (const StoreItem& item : world_->store.contacts) {
    if (const auto* contact = std::get_if<Contact>(&item.content)) {
      names.push_back(contact->fullName.value_or(u"(no name)"));
    } else {
      names.push_back(std::get<OtherItem>(item.content).subject.value_or(u"(no subject)"));
    }
  }
  return names;
}

void StandIn::SelectContacts(std::vector<size_t> positions) { world_->selection = std::move(positions); }

Microsoft::WRL::ComPtr<IDispatch> StandIn::ActiveExplorer() const {
  return static_cast<IDispatch*>(&application_->MainExplorer());
}

Microsoft::WRL::ComPtr<IDispatch> StandIn::Selection() const {
  return static_cast<IDispatch*>(Make<standin::Selection>(world_).Get());
}

Microsoft::WRL::ComPtr<IDispatch> StandIn::OpenContact(size_t position) const {
  return static_cast<IDispatch*>(Make<Inspector>(world_, position).Get());
}

std::vector<ToolbarState> StandIn::Toolbars() const {
  std::vector<ToolbarState> toolbars;
  for (const auto& bar : application_->MainExplorer().Bars().All()) {
    ToolbarState state{bar->Name(), bar->Position(), bar->Visible(), bar->Temporary(), {}};
    for (const auto& button : bar->Controls().Buttons()) state.buttons.push_back(StateOf(*button.Get()));
    toolbars.push_back(std::move(state));
  }
  return toolbars;
}

CommandBarButton* StandIn::FindButton(const std::u16string& tag) const {
  for (const auto& bar : application_->MainExplorer().Bars().All()) {
    for (const auto& button : bar->Controls().Buttons()) {
      if (button->Tag() == tag) return button.Get();
    }
  }
  return nullptr;
}

Microsoft::WRL::ComPtr<IDispatch> StandIn::Button(const std::u16string& tag) const {
  return static_cast<IDispatch*>(FindButton(tag));
}

size_t StandIn::Click(const std::u16string& tag, bool* cancelDefault) {
  CommandBarButton* button = FindButton(tag);
  if (!button) return 0;
  bool cancel = false;
  const size_t reached = button->Click(cancel);
  if (cancelDefault) *cancelDefault = cancel;
  return reached;
}

size_t StandIn::Click(size_t toolbar, size_t button, bool* cancelDefault) {
  const auto& bars = application_->MainExplorer().Bars().All();
  if (toolbar >= bars.size()) return 0;
  const auto& buttons = bars[toolbar]->Controls().Buttons();
  if (button >= buttons.size()) return 0;
  bool cancel = false;
  const size_t reached = buttons[button]->Click(cancel);
  if (cancelDefault) *cancelDefault = cancel;
  return reached;
}

void StandIn::Close() {
  if (application_) application_->MainExplorer().Bars().Clear();
}

}  // namespace standin
