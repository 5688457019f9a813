#pragma once
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "addin/access/mail_items.h"
#include "gateway/http_exchange.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/ole_date.h"
#include "support/fixed_clock.h"
#include "support/latin1_code_page.h"

class FakeContact : public ContactItem {
 public:
  std::optional<std::u16string> fullName;
  std::optional<std::u16string> mobile;
  std::optional<std::u16string> primary;
  int numberReads = 0;

  std::optional<std::u16string> FullName() override { return fullName; }
  std::optional<std::u16string> FirstName() override { return std::nullopt; }
  std::optional<std::u16string> MobileTelephoneNumber() override {
    ++numberReads;
    return mobile;
  }
  std::optional<std::u16string> PrimaryTelephoneNumber() override { return primary; }
  std::optional<std::u16string> EntryID() override { return std::nullopt; }
};

// Answers every GET with the same reply and remembers what was asked.
class ScriptedExchange : public HttpExchange {
 public:
  struct Request {
    std::string host;
    unsigned short port;
    std::string target;
  };
  explicit ScriptedExchange(HttpReply reply, std::vector<Request>* log)
      : reply_(std::move(reply)), log_(log) {}
  HttpReply Get(const std::string& host, unsigned short port, const std::string& target) override {
    log_->push_back({host, port, target});
    return reply_;
  }

 private:
  HttpReply reply_;
  std::vector<Request>* log_;
};

// Answers each GET by a rule over its target and logs every target.
class RuleExchange : public HttpExchange {
 public:
  using Rule = std::function<HttpReply(const std::string& target)>;
  RuleExchange(Rule rule, std::vector<std::string>* log) : rule_(std::move(rule)), log_(log) {}
  HttpReply Get(const std::string&, unsigned short, const std::string& target) override {
    log_->push_back(target);
    return rule_(target);
  }

 private:
  Rule rule_;
  std::vector<std::string>* log_;
};

inline HttpReply Answer(unsigned long status, std::string body) {
  HttpReply reply;
  reply.outcome = HttpReply::Outcome::kAnswered;
  reply.status = status;
  reply.body = std::move(body);
  return reply;
}
