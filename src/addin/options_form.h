#pragma once
#include <optional>
#include <string>

#include "store/settings.h"

// What the options dialog shows and saves: the gateway account, the
// sending options and the opt-out category.
enum class AlphabetChoice { Gsm, Unicode, Neither };

struct OptionsForm {
  std::u16string userName;
  std::u16string password;
  bool concatenation = false;
  bool showDeliveryResults = true;
  // A stored value other than 0 or 1 checks neither radio button.
  AlphabetChoice alphabet = AlphabetChoice::Gsm;
  // As it applies when read (the default while unset); written only when
  // set, so that a user who leaves it alone keeps following the default.
  std::optional<std::u16string> optOutCategory;
};

OptionsForm ReadOptions(Settings& settings);

// Writes all values in one write, all or none, in the order user name,
// password, concatenation, delivery results, alphabet, then the opt-out
// category when the form holds one; anything but Unicode saves as GSM.
HResult WriteOptions(Settings& settings, const OptionsForm& form);

// OK needs both account fields non-empty; blanks count as text.
bool OptionsCanBeSaved(const std::u16string& userName, const std::u16string& password);
