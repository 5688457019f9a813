#include "faults.h"

#include <fstream>
#include <sstream>

namespace {

const std::pair<Fault, const char*> kNames[] = {
    {Fault::kNone, "none"},       {Fault::kRefuse, "refuse"}, {Fault::kStall, "stall"},
    {Fault::kStatus500, "status500"}, {Fault::kHtml, "html"},  {Fault::kGarbage, "garbage"},
    {Fault::kHuge, "huge"},       {Fault::kChunked, "chunked"}, {Fault::kNul, "nul"},
    {Fault::kStallBody, "stallbody"}, {Fault::kReset, "reset"}, {Fault::kTrickle, "trickle"},
    {Fault::kClose, "close"},
};

}  // namespace

std::optional<Fault> ParseFault(const std::string& name) {
  for (const auto& [fault, text] : kNames) {
    if (name == text) return fault;
  }
  return std::nullopt;
}

const char* FaultName(Fault fault) {
  for (const auto& [known, text] : kNames) {
    if (known == fault) return text;
  }
  return "none";
}

std::optional<std::map<std::string, Fault>> ReadFaultScript(const std::string& path, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = "cannot read fault script " + path;
    return std::nullopt;
  }
  std::map<std::string, Fault> script;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    std::istringstream fields(line);
    std::string to, name, extra;
    if (!(fields >> to) || to[0] == '#') continue;
    const auto fault = fields >> name ? ParseFault(name) : std::nullopt;
    if (!fault || *fault == Fault::kRefuse || fields >> extra) {
      error = path + ":" + std::to_string(number) + ": expected \"<to> <fault>\"";
      return std::nullopt;
    }
    script[to] = *fault;
  }
  return script;
}
