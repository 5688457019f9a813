#pragma once
#include <optional>
#include <string>
#include <vector>

// What the ribbon asks of the add-in: the callbacks its customUI documents
// name, the document for each kind of window and the icon of each command.
// The host reaches the callbacks through the add-in's IDispatch by name.

enum class RibbonCallback {
  kRunCommand = 0x4001,       // onAction: the command of the control's tag
  kSendToContacts = 0x4002,   // onAction: the send dialog for the contacts of the context
  kLargeIcon = 0x4003,        // getImage: 32 pixels
  kSmallIcon = 0x4004,        // getImage: 16 pixels
  kLoaded = 0x4005,           // onLoad: the window's ribbon, kept to invalidate
  kEnabled = 0x4006,          // getEnabled: false while a command would not start
};

// The callback of this name, matched without regard to ASCII case as
// automation names are; nullopt for any other name.
std::optional<RibbonCallback> FindRibbonCallback(const std::u16string& name);
// The callback whose DISPID is `id`.
std::optional<RibbonCallback> RibbonCallbackOfId(long id);

// The resource of the customUI document for a ribbon id; 0 (no document)
// for windows the add-in has nothing for.
int CustomUiResource(const std::u16string& ribbonId);

// The icon resource of the command with this tag at 16 or 32 pixels; 0 when
// the tag has none.
int IconResource(const std::u16string& tag, bool large);

// A contact the user selected, as the mail client gives its values.
struct SelectedContact {
  std::optional<std::u16string> fullName;
  std::optional<std::u16string> mobile;
};

// The recipients field's text for these contacts, each as the field's
// suggestions put it ("key; "): a contact with a mobile number by its
// directory key, one without by its name alone, which the send reports as
// it does a name typed by hand.
std::u16string RecipientsText(const std::vector<SelectedContact>& contacts);
