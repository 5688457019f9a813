#include "addin/sms_plugin_options_win.h"

#include "addin/options_form.h"
#include "platform/prompt_win.h"
#include "resource_ids.h"

namespace {

// The dialog's title, which its message boxes carry.
constexpr char16_t kTitle[] = u"SMS plugin options";

}  // namespace

CSMSPluginOptions::CSMSPluginOptions(Settings& settings)
    : ModalDialog(IDD_SMS_PLUGIN_OPTIONS), settings_(settings) {}

bool CSMSPluginOptions::OnInitDialog() {
  OptionsForm form = ReadOptions(settings_);
  SetItemText(IDC_USER_NAME, form.userName);
  SetItemText(IDC_PASSWORD, form.password);
  SetChecked(IDC_CONCATENATION, form.concatenation);
  SetChecked(IDC_SHOW_DELIVERY_RESULTS, form.showDeliveryResults);
  SetChecked(IDC_ALPHABET_GSM, form.alphabet == AlphabetChoice::Gsm);
  SetChecked(IDC_ALPHABET_UNICODE, form.alphabet == AlphabetChoice::Unicode);
  shownOptOutCategory_ = form.optOutCategory.value_or(u"");
  SetItemText(IDC_OPT_OUT_CATEGORY, shownOptOutCategory_);
  UpdateOkButton();
  return true;
}

bool CSMSPluginOptions::OnCommand(int id, int notification) {
  switch (id) {
    case IDOK:
      if (Save()) Close(IDOK);
      return true;
    case IDCANCEL:
      Close(IDCANCEL);
      return true;
    case IDC_USER_NAME:
    case IDC_PASSWORD:
      if (notification != EN_CHANGE) return false;
      UpdateOkButton();
      return true;
    default:
      return false;
  }
}

void CSMSPluginOptions::UpdateOkButton() {
  EnableItem(IDOK, OptionsCanBeSaved(ItemText(IDC_USER_NAME), ItemText(IDC_PASSWORD)));
}

bool CSMSPluginOptions::Save() {
  OptionsForm form;
  form.userName = ItemText(IDC_USER_NAME);
  form.password = ItemText(IDC_PASSWORD);
  form.concatenation = IsChecked(IDC_CONCATENATION);
  form.showDeliveryResults = IsChecked(IDC_SHOW_DELIVERY_RESULTS);
  form.alphabet = IsChecked(IDC_ALPHABET_UNICODE) ? AlphabetChoice::Unicode : AlphabetChoice::Gsm;
  const std::u16string category = ItemText(IDC_OPT_OUT_CATEGORY);
  if (category != shownOptOutCategory_) form.optOutCategory = category;
  const HResult status = WriteOptions(settings_, form);
  if (status == kStatusOk) return true;
  // The dialog stays open with what the user entered, so nothing is lost.
  MessageBoxPrompt(Window()).Show(u"Your options could not be saved.\n\n" + settings_.DescribeWriteFailure(status) +
                                      u"\n\nThey are still in this window: press OK to try again, or Cancel "
                                      u"to leave them unsaved.",
                                  kTitle);
  return false;
}
