#include "gateway/report_summary.h"

#include <vector>

namespace {

enum class Outcome { None, Sent, NotSent, Uncertain };

// The first of the report line's wordings decides: the name comes before
// it and the gateway's details, which may say anything, after it.
Outcome OutcomeOf(const std::u16string& line) {
  struct Wording {
    const char16_t* text;
    Outcome outcome;
  };
  static const Wording kWordings[] = {{u" was sent successfully.", Outcome::Sent},
                                      {u" was not sent", Outcome::NotSent},
                                      {u" may not have been sent", Outcome::Uncertain}};
  Outcome outcome = Outcome::None;
  std::size_t first = std::u16string::npos;
  for (const Wording& wording : kWordings) {
    const std::size_t at = line.find(wording.text);
    if (at < first) {
      first = at;
      outcome = wording.outcome;
    }
  }
  return outcome;
}

std::vector<std::u16string> Lines(const std::u16string& report) {
  std::vector<std::u16string> lines;
  std::size_t from = 0;
  while (from < report.size()) {
    std::size_t end = report.find(u'\n', from);
    if (end == std::u16string::npos) end = report.size();
    lines.push_back(report.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

std::u16string Number(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

ReportSummary SummarizeReport(const std::u16string& report) {
  ReportSummary summary;
  for (const std::u16string& line : Lines(report)) {
    switch (OutcomeOf(line)) {
      case Outcome::Sent: ++summary.sent; break;
      case Outcome::NotSent: ++summary.notSent; break;
      case Outcome::Uncertain: ++summary.uncertain; break;
      case Outcome::None: break;
    }
  }
  return summary;
}

std::u16string SummaryLine(const ReportSummary& summary) {
  std::u16string line = Number(summary.sent) + u" sent";
  if (summary.notSent) line += u", " + Number(summary.notSent) + u" not sent";
  if (summary.uncertain) line += u", " + Number(summary.uncertain) + u" may not have been sent";
  return line;
}

std::u16string ProblemsFirst(const std::u16string& report) {
  std::u16string problems;
  for (const std::u16string& line : Lines(report)) {
    const Outcome outcome = OutcomeOf(line);
    if (outcome == Outcome::NotSent || outcome == Outcome::Uncertain) problems += line + u'\n';
  }
  if (problems.empty()) return report;
  return u"Not sent or may not have been sent:\n\n" + problems + u"\nAll results:\n\n" + report;
}

bool ReportFitsMessageBox(int textHeight, int frameHeight, int workAreaHeight) {
  return textHeight + frameHeight <= workAreaHeight;
}
