#pragma once
#include <string>
#include <vector>

#include "gateway/sms_message.h"
#include "platform/code_page.h"

// "SMS delivery results:\n\n" and one line per record, in the given order;
// a record without a report line gives an empty line. Each line names the
// contact as written (ReportLine); `codePage` is the records' own.
std::u16string BuildDeliveryReport(const std::vector<const SMSMessage*>& records,
                                   const CodePage& codePage);
