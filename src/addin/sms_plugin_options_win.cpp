#include "addin/sms_plugin_options_win.h"

#include "addin/options_form.h"
#include "resource_ids.h"

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
  UpdateOkButton();
  return true;
}

bool CSMSPluginOptions::OnCommand(int id, int notification) {
  switch (id) {
    case IDOK:
      Save();
      Close(IDOK);
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

void CSMSPluginOptions::Save() {
  OptionsForm form;
  form.userName = ItemText(IDC_USER_NAME);
  form.password = ItemText(IDC_PASSWORD);
  form.concatenation = IsChecked(IDC_CONCATENATION);
  form.showDeliveryResults = IsChecked(IDC_SHOW_DELIVERY_RESULTS);
  form.alphabet = IsChecked(IDC_ALPHABET_UNICODE) ? AlphabetChoice::Unicode : AlphabetChoice::Gsm;
  WriteOptions(settings_, form);
}
