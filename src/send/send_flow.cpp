#include "send/send_flow.h"

#include "gateway/delivery_report.h"
#include "gateway/message_text.h"
#include "gateway/sms_message.h"
#include "send/recipient_tokens.h"
#include "store/sending_options.h"

std::vector<std::u16string> SendFlow::Send(const std::u16string& recipientsText, const std::u16string& text,
                                           const ContactDirectory& directory, SendRun& run,
                                           const MakeGateway& makeGateway) const {
  std::unique_ptr<HTTPManager> gateway = makeGateway();
  const std::string encoded = EncodeMessageText(text, SendingOptions::Read(ports_.settings), ports_.codePage);
  std::vector<std::u16string> lines;
  for (const std::u16string& token : SplitRecipients(recipientsText)) {
    // An empty or blank piece ("A; ; B", a trailing "; ") names nobody.
    if (token.find_first_not_of(u' ') == std::u16string::npos) continue;
    if (!directory.Contains(token)) {
      lines.push_back(NotAContactLine(token));
      continue;
    }
    // Fetched for this message only and released with it.
    ContactRef contact = directory.Fetch(token);
    if (!contact) {
      lines.push_back(UnreadableContactLine(token));
      continue;
    }
    SMSMessage message(ports_.codePage, ports_.clock, std::move(contact), encoded, 0);
    run.Send(message, *gateway);
    lines.push_back(message.ReportLine());
  }
  return lines;
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
