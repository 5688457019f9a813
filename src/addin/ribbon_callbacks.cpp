#include "addin/ribbon_callbacks.h"

#include "addin/toolbar_buttons.h"
#include "resource_ids.h"
#include "send/contact_directory.h"
#include "send/recipient_tokens.h"

namespace {

struct CallbackName {
  const char16_t* name;
  RibbonCallback callback;
};

constexpr CallbackName kCallbacks[] = {
    {u"OnSmsCommand", RibbonCallback::kRunCommand},
    {u"OnSendSmsToContacts", RibbonCallback::kSendToContacts},
    {u"GetLargeIcon", RibbonCallback::kLargeIcon},
    {u"GetSmallIcon", RibbonCallback::kSmallIcon},
    {u"OnRibbonLoad", RibbonCallback::kLoaded},
    {u"GetCommandEnabled", RibbonCallback::kEnabled},
};

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameName(const std::u16string& a, const char16_t* b) {
  const std::u16string other(b);
  if (a.size() != other.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(other[i])) return false;
  }
  return true;
}

struct CommandIcon {
  const char16_t* tag;
  int small, large;
};

constexpr CommandIcon kIcons[] = {
    {kTagNewSmsMessage, IDR_ICON_SEND_SMS_16, IDR_ICON_SEND_SMS_32},
    {kTagNewBatchSmsMessage, IDR_ICON_BATCH_REMINDERS_16, IDR_ICON_BATCH_REMINDERS_32},
    {kTagSmsPluginOptions, IDR_ICON_SMS_OPTIONS_16, IDR_ICON_SMS_OPTIONS_32},
};

}  // namespace

std::optional<RibbonCallback> FindRibbonCallback(const std::u16string& name) {
  for (const CallbackName& entry : kCallbacks) {
    if (SameName(name, entry.name)) return entry.callback;
  }
  return std::nullopt;
}

std::optional<RibbonCallback> RibbonCallbackOfId(long id) {
  for (const CallbackName& entry : kCallbacks) {
    if (static_cast<long>(entry.callback) == id) return entry.callback;
  }
  return std::nullopt;
}

int CustomUiResource(const std::u16string& ribbonId) {
  if (ribbonId == u"Microsoft.Outlook.Explorer") return IDR_RIBBON_EXPLORER;
  if (ribbonId == u"Microsoft.Outlook.Contact") return IDR_RIBBON_CONTACT;
  return 0;
}

int IconResource(const std::u16string& tag, bool large) {
  for (const CommandIcon& icon : kIcons) {
    if (tag == icon.tag) return large ? icon.large : icon.small;
  }
  return 0;
}

std::u16string RecipientsText(const std::vector<SelectedContact>& contacts) {
  std::u16string text;
  for (const SelectedContact& contact : contacts) {
    const std::u16string name = contact.fullName.value_or(u"");
    // Nothing a user could type names a contact without name and number.
    if (name.empty() && !contact.mobile) continue;
    text += contact.mobile ? DirectoryKey(name, *contact.mobile) : name;
    text += kRecipientSeparator;
  }
  return text;
}
