#include "send/send_flow.h"

#include "send/recipient_tokens.h"

std::vector<std::u16string> SendToRecipients(const std::u16string& recipientsText,
                                             const ContactDirectory& directory, const SendToContact& send) {
  std::vector<std::u16string> tokens = SplitRecipients(recipientsText);
  if (tokens.back().empty()) tokens.pop_back();
  std::vector<std::u16string> lines;
  for (const std::u16string& token : tokens) {
    if (!directory.Contains(token)) {
      lines.push_back(NotAContactLine(token));
      continue;
    }
    // Fetched for this message only and released with it.
    ContactRef contact = directory.Fetch(token);
    lines.push_back(contact ? send(contact) : UnreadableContactLine(token));
  }
  return lines;
}

std::u16string NotAContactLine(const std::u16string& token) {
  return u"Nothing was sent to \"" + token + u"\" because it is not a contact with a mobile number.";
}

std::u16string UnreadableContactLine(const std::u16string& key) {
  return u"Nothing was sent to \"" + key + u"\" because the contact could not be read from the contacts folder.";
}
