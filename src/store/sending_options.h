#pragma once
#include "store/settings.h"

// The sending options as both send flows, the counters and the gateway
// request read them. The options dialog writes only 0 and 1; a value
// edited by hand is taken by each reading below as it says, and the
// readings of "Alphabet" differ on purpose: the text is hex-encoded for
// any value but 0, while only 1 marks the request and the counters as
// Unicode.
class SendingOptions {
 public:
  // Reads "Alphabet", "Concatenation" and "ShowDeliveryResults" now, in one
  // read of the settings; a missing key gives its default (GSM, no
  // concatenation, report shown).
  static SendingOptions Read(Settings& settings);
  // The same, from values already read.
  static SendingOptions From(SettingsReader& values);

  SendingOptions(unsigned alphabet, unsigned concatenation, unsigned showDeliveryResults)
      : alphabet_(alphabet), concatenation_(concatenation), showDeliveryResults_(showDeliveryResults) {}

  // The text goes as four hexadecimal digits per UTF-16 unit.
  bool HexEncodesText() const { return alphabet_ != 0; }
  // The request carries unicode=true.
  bool MarksRequestUnicode() const { return alphabet_ == 1; }
  // The counters count 70 characters a message, 67 a concatenated part.
  bool CountsUnicodeParts() const { return alphabet_ == 1; }
  // The gateway joins long messages (the request's concatenate=true).
  bool Concatenates() const { return concatenation_ == 1; }
  bool ShowsDeliveryResults() const { return showDeliveryResults_ == 1; }

 private:
  unsigned alphabet_;
  unsigned concatenation_;
  unsigned showDeliveryResults_;
};
