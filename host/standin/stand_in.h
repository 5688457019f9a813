#pragma once
#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mailstore/call_counter.h"
#include "mailstore/fault_book.h"
#include "mailstore/store_loader.h"

namespace standin {

class Application;
class CommandBarButton;
struct World;

struct ButtonState {
  std::u16string caption, tooltipText, tag;
  bool visible = false, enabled = false;
  long faceId = 0, style = 0;
  size_t sinkCount = 0;  // advised Click sinks
};

struct ToolbarState {
  std::u16string name;
  long position = 0;
  bool visible = false, temporary = false;
  std::vector<ButtonState> buttons;
};

// A stand-in for the mail client over a store: its application object is
// what a host hands to add-ins. Tests inject faults, read the call counts,
// look at the toolbars that add-ins made and click their buttons. Use it
// on one thread, after CoInitialize/OleInitialize.
class StandIn {
 public:
  // Both throw StoreError, naming the file and the place, for a store that
  // cannot be read. Relative dates count from the current local time.
  static std::unique_ptr<StandIn> FromFile(const std::filesystem::path& path);
  static std::unique_ptr<StandIn> FromJson(const std::string& json,
                                           const std::string& sourceName = "store");
  // Closes the window: toolbars go and their buttons release their sinks.
  ~StandIn();
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  // The application object (_Application).
  Microsoft::WRL::ComPtr<IDispatch> Application() const;

  FaultBook& Faults();
  void SetActiveExplorer(bool present);
  void SetUniqueToolbarNames(bool unique);
  CallCounter& Calls();
  // Items (contacts, appointments, occurrences, other items) that may be
  // open at once; fetches past it fail. No limit when nullopt.
  void SetOpenItemLimit(std::optional<long> limit);
  // Items whose automation objects someone still holds, directly or
  // through their recipients or recurrence pattern.
  long OpenItems() const;
  // The most items open at once since the stand-in was made or the last
  // reset, which starts the count again from those open now.
  long MostOpenItems() const;
  void ResetMostOpenItems();

  // Deletes the first contact of this full name, as a user would in the
  // client; false when there is none. No object of it may be alive.
  bool DeleteContact(const std::u16string& fullName);

  // Application.Version, as the store gives it.
  std::u16string Version() const;
  // What the contacts folder shows for each of its items, in folder order.
  std::vector<std::u16string> ContactsFolderNames() const;
  // The explorer's selection: contacts by position in the contacts folder
  // (from 0), in the order the user selected them.
  void SelectContacts(std::vector<size_t> positions);
  Microsoft::WRL::ComPtr<IDispatch> ActiveExplorer() const;
  // The explorer's Selection as the client hands it to a context menu.
  Microsoft::WRL::ComPtr<IDispatch> Selection() const;
  // The window of the contact at `position` (from 0), opened.
  Microsoft::WRL::ComPtr<IDispatch> OpenContact(size_t position) const;

  std::vector<ToolbarState> Toolbars() const;
  // The first button (toolbars in order, then buttons) with this tag, as
  // an automation object; null when there is none.
  Microsoft::WRL::ComPtr<IDispatch> Button(const std::u16string& tag) const;
  // Presses the first button with this tag: Click goes to each of its
  // sinks. Gives the number of sinks reached (0 when no button has the
  // tag); `cancelDefault` is the flag as the sinks left it.
  size_t Click(const std::u16string& tag, bool* cancelDefault = nullptr);
  // Presses button `button` (from 0) of toolbar `toolbar` (from 0).
  size_t Click(size_t toolbar, size_t button, bool* cancelDefault = nullptr);
  // Removes the toolbars, as the client does with temporary ones at exit.
  void Close();

 private:
  explicit StandIn(LoadedStore loaded);
  CommandBarButton* FindButton(const std::u16string& tag) const;

  std::shared_ptr<World> world_;
  Microsoft::WRL::ComPtr<standin::Application> application_;
};

}  // namespace standin
