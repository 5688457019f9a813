#include "send/send_flow.h"

#include <algorithm>

#include "gateway/delivery_report.h"
#include "gateway/message_text.h"
#include "gateway/sms_message.h"
#include "send/opt_out.h"
#include "send/recipient_tokens.h"
#include "store/sending_options.h"

namespace {

// A contact without a name is named by the key it was chosen by.
std::u16string NameOf(ContactItem& contact, const std::u16string& token) {
  const std::optional<std::u16string> name = contact.FullName();
  return name && !name->empty() ? *name : token;
}

}  // namespace

std::vector<std::u16string> SendFlow::Send(const std::u16string& recipientsText, const std::u16string& text,
                                           const ContactDirectory& directory, SendRun& run,
                                           const MakeGateway& makeGateway) const {
  std::vector<std::u16string> tokens;
  for (const std::u16string& token : SplitRecipients(recipientsText)) {
    // An empty or blank piece ("A; ; B", a trailing "; ") names nobody.
    if (token.find_first_not_of(u' ') != std::u16string::npos) tokens.push_back(token);
  }
  const OptOut optOut = OptOut::Read(ports_.settings);
  const std::map<std::u16string, std::u16string> optedOut = OptedOut(tokens, directory, optOut);
  bool sendToOptedOut = false;
  if (!optedOut.empty()) {
    // Named by their keys, which carry the numbers, once each.
    std::vector<std::u16string> names;
    for (const std::u16string& token : tokens) {
      if (optedOut.count(token) && std::find(names.begin(), names.end(), token) == names.end()) {
        names.push_back(token);
      }
    }
    sendToOptedOut = ports_.prompt.AskYesNoDefaultNo(optOut.Question(names), caption_);
  }

  std::unique_ptr<HTTPManager> gateway = makeGateway();
  const std::string encoded = EncodeMessageText(text, SendingOptions::Read(ports_.settings), ports_.codePage);
  std::vector<std::u16string> lines;
  for (const std::u16string& token : tokens) {
    if (!directory.Contains(token)) {
      lines.push_back(NotAContactLine(token));
      continue;
    }
    auto opted = optedOut.find(token);
    if (opted != optedOut.end() && !sendToOptedOut) {
      lines.push_back(optOut.ReportLine(opted->second));
      continue;
    }
    // Fetched for this message only and released with it.
    ContactRef contact = directory.Fetch(token);
    if (!contact) {
      lines.push_back(UnreadableContactLine(token));
      continue;
    }
    // One put in the category after the question was asked is not texted
    // without a Yes either.
    if (opted == optedOut.end() && !sendToOptedOut && optOut.Excludes(*contact)) {
      lines.push_back(optOut.ReportLine(NameOf(*contact, token)));
      continue;
    }
    SMSMessage message(ports_.codePage, ports_.clock, std::move(contact), encoded, 0);
    run.Send(message, *gateway);
    lines.push_back(message.ReportLine());
  }
  return lines;
}

// The recipients in the opt-out category, by token, with the names their
// report lines give them. Each contact is fetched only while it is looked at.
std::map<std::u16string, std::u16string> SendFlow::OptedOut(const std::vector<std::u16string>& tokens,
                                                            const ContactDirectory& directory,
                                                            const OptOut& optOut) {
  std::map<std::u16string, std::u16string> optedOut;
  if (!optOut.On()) return optedOut;
  for (const std::u16string& token : tokens) {
    if (!directory.Contains(token) || optedOut.count(token)) continue;
    ContactRef contact = directory.Fetch(token);
    if (contact && optOut.Excludes(*contact)) optedOut.emplace(token, NameOf(*contact, token));
  }
  return optedOut;
}

void SendFlow::ShowReport(const std::vector<std::u16string>& lines) const {
  if (!SendingOptions::Read(ports_.settings).ShowsDeliveryResults()) return;
  ports_.prompt.ShowReport(BuildDeliveryReport(lines), caption_);
}

std::u16string NotAContactLine(const std::u16string& token) {
  return u"Nothing was sent to \"" + token + u"\" because it is not a contact with a mobile number.";
}

std::u16string UnreadableContactLine(const std::u16string& key) {
  return u"Nothing was sent to \"" + key + u"\" because the contact could not be read from the contacts folder.";
}
