#pragma once
#include <fstream>
#include <mutex>
#include <string>

#include "query.h"

// One JSON line per request: the target as it arrived, the decoded
// parameters in order, the connection it came on, the fault played and the
// reply sent. Each line is
// flushed before the reply leaves, so a client that has its answer finds
// its request in the log.
class RequestLog {
 public:
  // An empty path logs nothing.
  explicit RequestLog(const std::string& path);
  bool ok() const { return path_.empty() || file_.good(); }
  void Write(const std::string& target, const QueryParameters& parameters, long connection,
             const char* fault, int status, const std::string& reply);

 private:
  std::string path_;
  std::ofstream file_;
  std::mutex mutex_;
};
