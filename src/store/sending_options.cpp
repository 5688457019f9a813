#include "store/sending_options.h"

SendingOptions SendingOptions::Read(Settings& settings) {
  return SendingOptions(settings.GetInt(settings_key::kAlphabet, 0),
                        settings.GetInt(settings_key::kConcatenation, 0),
                        settings.GetInt(settings_key::kShowDeliveryResults, 1));
}
