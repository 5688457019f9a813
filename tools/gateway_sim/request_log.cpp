#include "request_log.h"

#include <nlohmann/json.hpp>

RequestLog::RequestLog(const std::string& path) : path_(path) {
  if (!path_.empty()) file_.open(path_, std::ios::app | std::ios::binary);
}

void RequestLog::Write(const std::string& target, const QueryParameters& parameters,
                       long connection, const char* fault, int status, const std::string& reply) {
  if (path_.empty()) return;
  nlohmann::json line = {{"target", target}, {"params", nlohmann::json::array()},
                         {"connection", connection}, {"fault", fault},
                         {"status", status}, {"reply", reply}};
  for (const auto& [name, value] : parameters) line["params"].push_back({name, value});
  // Texts in an 8-bit code page are not UTF-8; their raw bytes stay
  // visible in "target".
  const std::string text = line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::lock_guard<std::mutex> lock(mutex_);
  file_ << text << '\n' << std::flush;
}
