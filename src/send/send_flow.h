#pragma once
#include <functional>
#include <string>
#include <vector>

#include "send/contact_directory.h"

// Sends one message to `contact` and gives its report line (the record's
// ReportLine, empty for a reply that is not understood).
using SendToContact = std::function<std::u16string(const ContactRef& contact)>;

// One line per recipient token of `recipientsText`, in order: the report
// line of the message sent to each directory key, and for every other
// token a line saying that nothing was sent to it. An empty last token
// (the text ends with "; ") gets no line.
std::vector<std::u16string> SendToRecipients(const std::u16string& recipientsText,
                                             const ContactDirectory& directory, const SendToContact& send);

std::u16string NotAContactLine(const std::u16string& token);
std::u16string UnreadableContactLine(const std::u16string& key);
