#pragma once
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

// One request as the gateway simulator logged it.
struct LoggedRequest {
  std::string target;
  std::vector<std::pair<std::string, std::string>> params;
  std::string reply;

  std::string Param(const std::string& name) const {
    for (const auto& [key, value] : params) {
      if (key == name) return value;
    }
    return {};
  }
};

// The simulator's request log, named by GATEWAY_SIM_LOG (or another
// variable, for another of the simulators).
class SimulatorLog {
 public:
  explicit SimulatorLog(const char* variable = "GATEWAY_SIM_LOG") {
    const char* path = std::getenv(variable);
    path_ = path ? path : "";
  }

  std::vector<LoggedRequest> Requests() const {
    std::vector<LoggedRequest> requests;
    std::ifstream file(path_, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
      const auto entry = nlohmann::json::parse(line);
      LoggedRequest request;
      request.target = entry.at("target").get<std::string>();
      request.reply = entry.at("reply").get<std::string>();
      for (const auto& pair : entry.at("params")) {
        request.params.emplace_back(pair.at(0).get<std::string>(), pair.at(1).get<std::string>());
      }
      requests.push_back(std::move(request));
    }
    return requests;
  }

  // The latest request for a recipient number.
  std::optional<LoggedRequest> LastTo(const std::string& to) const {
    std::optional<LoggedRequest> found;
    for (auto& request : Requests()) {
      if (request.Param("to") == to) found = std::move(request);
    }
    return found;
  }

 private:
  std::string path_;
};
