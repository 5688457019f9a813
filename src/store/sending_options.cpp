#include "store/sending_options.h"

SendingOptions SendingOptions::Read(Settings& settings) { return From(*settings.ReadSection()); }

SendingOptions SendingOptions::From(SettingsReader& values) {
  return SendingOptions(values.GetInt(settings_key::kAlphabet, 0), values.GetInt(settings_key::kConcatenation, 0),
                        values.GetInt(settings_key::kShowDeliveryResults, 1));
}
