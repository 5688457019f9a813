#include "gateway/delivery_report.h"

std::u16string BuildDeliveryReport(const std::vector<const SMSMessage*>& records,
                                   const CodePage&) {
  std::u16string report = u"SMS delivery results:\n\n";
  for (const SMSMessage* record : records) {
    report += record->ReportLine();
    report += u'\n';
  }
  return report;
}
