#include "addin/options_form.h"

#include "send/opt_out.h"
#include "store/sending_options.h"

OptionsForm ReadOptions(Settings& settings) {
  OptionsForm form;
  form.userName = settings.GetString(settings_key::kUserName);
  form.password = settings.GetString(settings_key::kPassword);
  const SendingOptions sending = SendingOptions::Read(settings);
  form.concatenation = sending.Concatenates();
  form.showDeliveryResults = sending.ShowsDeliveryResults();
  // The radio buttons tell 0, 1 and anything else apart, which no sender does.
  switch (settings.GetInt(settings_key::kAlphabet, 0)) {
    case 0:
      form.alphabet = AlphabetChoice::Gsm;
      break;
    case 1:
      form.alphabet = AlphabetChoice::Unicode;
      break;
    default:
      form.alphabet = AlphabetChoice::Neither;
  }
  form.optOutCategory = OptOut::Read(settings).category();
  return form;
}

HResult WriteOptions(Settings& settings, const OptionsForm& form) {
  const auto flag = [](bool on) { return std::u16string(on ? u"1" : u"0"); };
  SettingsValues values{{settings_key::kUserName, form.userName},
                        {settings_key::kPassword, form.password},
                        {settings_key::kConcatenation, flag(form.concatenation)},
                        {settings_key::kShowDeliveryResults, flag(form.showDeliveryResults)},
                        {settings_key::kAlphabet, flag(form.alphabet == AlphabetChoice::Unicode)}};
  if (form.optOutCategory) values.emplace_back(settings_key::kOptOutCategory, *form.optOutCategory);
  return settings.SetStrings(values);
}

bool OptionsCanBeSaved(const std::u16string& userName, const std::u16string& password) {
  return !userName.empty() && !password.empty();
}
