#pragma once
#include <string>
#include <vector>

#include "gateway/sms_message.h"

// The report both send flows show after a run: "SMS delivery results:\n\n",
// then each line and "\n".
std::u16string BuildDeliveryReport(const std::vector<std::u16string>& lines);

// The report lines of records, in the given order (ReportLine); a record
// without a report line gives an empty line.
std::vector<std::u16string> ReportLines(const std::vector<const SMSMessage*>& records);
