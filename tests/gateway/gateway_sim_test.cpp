#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "fault_replies.h"
#include "faults.h"
#include "gateway_rules.h"
#include "network_model.h"
#include "query.h"

// The simulator's decoding decides whether the Windows tests can see an
// injected parameter at all, so it is pinned here.
namespace {

TEST(SimulatorQuery, DecodesInOrderAndKeepsRepeatedNames) {
  const QueryParameters parameters =
      ParseQuery("/smsgateway.pl?user=a%26b&to=1&message=x&to=0999&empty=&flag&plus=a+b%2B&bad=%4&z=%zz");
  const QueryParameters expected = {{"user", "a&b"}, {"to", "1"},      {"message", "x"},
                                    {"to", "0999"},  {"empty", ""},    {"flag", ""},
                                    {"plus", "a b+"}, {"bad", "%4"},   {"z", "%zz"}};
  EXPECT_EQ(parameters, expected);
  EXPECT_EQ(ParameterValue(parameters, "to"), "1");
  EXPECT_EQ(ParameterValue(parameters, "missing"), "");
  EXPECT_TRUE(ParseQuery("/smsgateway.pl").empty());
  EXPECT_EQ(ParseQuery("/p?m=%0D%0A%00").at(0).second, std::string("\r\n\0", 3));
}

QueryParameters Request(const std::string& to, const std::string& message = "Hi",
                        const std::string& unicode = "false") {
  return {{"user", "alice"}, {"pass", "s3cret"}, {"to", to}, {"message", message}, {"unicode", unicode}};
}

TEST(SimulatorRules, AnswerInTheGatewayReplyFormat) {
  const GatewayAccountRule account{"alice", "s3cret"};
  EXPECT_EQ(GatewayReply(Request("6421"), account, 7), "accepted,6421,7,2,gsm,now,Message queued for delivery");
  EXPECT_EQ(GatewayReply(Request("6421", "00480069", "true"), account, 8),
            "accepted,6421,8,2,unicode,now,Message queued for delivery");
  EXPECT_EQ(GatewayReply(Request("6421", "0048006", "true"), account, 9),
            "error,,,,,,Unicode text must have four hexadecimal digits per character");
  EXPECT_EQ(GatewayReply(Request("5550101"), account, 1),
            "rejected,5550101,,,,,Number is in a reserved range\nsummary,0 accepted,1 rejected\n");
  EXPECT_EQ(GatewayReply(Request("21-555"), account, 1), "rejected,21-555,,,,,Invalid number format");
  EXPECT_EQ(GatewayReply(Request(""), account, 1), "error,,,,,,No recipient number given");
  EXPECT_EQ(GatewayReply(Request("6421", ""), account, 1), "error,,,,,,Empty message");
  EXPECT_EQ(GatewayReply(Request("6421"), GatewayAccountRule{"alice", "other"}, 1),
            "error,,,,,,Invalid user name or password");
  // Without a configured account anyone may send.
  EXPECT_EQ(GatewayReply({{"to", "6421"}, {"message", "Hi"}, {"yy", "2010"}, {"mm", "03"}, {"dd", "15"},
                          {"hour", "01"}, {"min", "35"}},
                         GatewayAccountRule{}, 3),
            "accepted,6421,3,2,gsm,2010-03-15 01:35 UTC,Message queued for delivery");
}

TEST(SimulatorFaults, ScriptNamesAFaultPerNumber) {
  const std::string path = testing::TempDir() + "faults.txt";
  std::ofstream(path) << "# comment\n\n6400500 status500\n6401100   stall\n";
  std::string error;
  const auto script = ReadFaultScript(path, error);
  ASSERT_TRUE(script) << error;
  EXPECT_EQ(script->size(), 2u);
  EXPECT_EQ(script->at("6401100"), Fault::kStall);

  for (const char* bad : {"6400500\n", "6400500 slow\n", "6400500 stall now\n", "6400500 refuse\n"}) {
    std::ofstream(path) << bad;
    EXPECT_FALSE(ReadFaultScript(path, error)) << bad;
    EXPECT_NE(error.find(":1:"), std::string::npos);
  }
  EXPECT_FALSE(ReadFaultScript(path + ".missing", error));
  std::remove(path.c_str());
}

TEST(SimulatorFaults, EveryFaultHasAName) {
  for (const char* name : {"none", "refuse", "stall", "status500", "html", "garbage", "huge", "chunked", "nul",
                           "stallbody", "reset", "trickle"}) {
    const auto fault = ParseFault(name);
    ASSERT_TRUE(fault) << name;
    EXPECT_STREQ(FaultName(*fault), name);
  }
}

// What a client receives from one request on a connection of its own,
// read as raw bytes so that a cut body or a reset shows as it is.
struct RawReply {
  std::string head;
  std::string body;
  int error = 0;  // errno of the read that ended it, 0 for an orderly close
  std::chrono::milliseconds took{};
};

RawReply RawGet(int port, const std::string& target) {
  using namespace std::chrono;
  RawReply reply;
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  timeval limit{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<unsigned short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const auto start = steady_clock::now();
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    reply.error = errno;
    close(fd);
    return reply;
  }
  const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
  send(fd, request.data(), request.size(), 0);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got < 0) reply.error = errno;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  reply.took = duration_cast<milliseconds>(steady_clock::now() - start);
  close(fd);
  const auto end = bytes.find("\r\n\r\n");
  reply.head = bytes.substr(0, end);
  if (end != std::string::npos) reply.body = bytes.substr(end + 4);
  return reply;
}

// One fault played by a server on loopback, with short stalls and gaps.
class FaultServer {
 public:
  explicit FaultServer(Fault fault) {
    server_.set_tcp_nodelay(true);
    server_.Get("/smsgateway.pl", [this, fault](const httplib::Request& request, httplib::Response& response) {
      logged_ = PlayFault(fault, kReply, request, response, stop_, timing_);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    listener_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~FaultServer() {
    stop_.Raise();
    server_.stop();
    listener_.join();
  }
  RawReply Get() { return RawGet(port_, "/smsgateway.pl?to=6421&message=Hi"); }
  const std::string& logged() const { return logged_; }

  static constexpr char kReply[] = "accepted,6421,1000,2,gsm,now,Message queued for delivery";
  const FaultTiming timing_{std::chrono::milliseconds(400), std::chrono::milliseconds(10)};

 private:
  httplib::Server server_;
  StopSignal stop_;
  std::string logged_;
  int port_ = 0;
  std::thread listener_;
};

std::string Half(const std::string& text) { return text.substr(0, text.size() / 2); }

std::string LengthHeader(std::size_t bytes) { return "Content-Length: " + std::to_string(bytes); }

TEST(SimulatorFaultReplies, HugeIsTenMegabytesThatBeginWithTheReply) {
  FaultServer server(Fault::kHuge);
  const RawReply reply = server.Get();
  EXPECT_EQ(reply.error, 0);
  EXPECT_NE(reply.head.find(LengthHeader(kHugeBodyBytes)), std::string::npos) << reply.head;
  ASSERT_EQ(reply.body.size(), kHugeBodyBytes);
  const std::string head = std::string(FaultServer::kReply) + "\n";
  EXPECT_EQ(reply.body.substr(0, head.size()), head);
  EXPECT_EQ(reply.body.find_first_not_of('x', head.size()), std::string::npos);
  EXPECT_EQ(server.logged(), head) << "the filler stays out of the log";
}

TEST(SimulatorFaultReplies, StallBodyAnnouncesTheWholeReplySendsHalfAndFallsSilent) {
  FaultServer server(Fault::kStallBody);
  const RawReply reply = server.Get();
  EXPECT_NE(reply.head.find("HTTP/1.1 200"), std::string::npos);
  EXPECT_NE(reply.head.find(LengthHeader(sizeof FaultServer::kReply - 1)), std::string::npos) << reply.head;
  EXPECT_EQ(reply.body, Half(FaultServer::kReply));
  EXPECT_GE(reply.took, server.timing_.stall) << "silent for the stall before the connection closes";
  EXPECT_EQ(server.logged(), Half(FaultServer::kReply));
}

TEST(SimulatorFaultReplies, ResetCutsTheBodyWithAConnectionReset) {
  FaultServer server(Fault::kReset);
  const RawReply reply = server.Get();
  EXPECT_NE(reply.head.find(LengthHeader(sizeof FaultServer::kReply - 1)), std::string::npos) << reply.head;
  EXPECT_EQ(reply.body, Half(FaultServer::kReply));
  EXPECT_EQ(reply.error, ECONNRESET);
  EXPECT_EQ(server.logged(), Half(FaultServer::kReply));
}

TEST(SimulatorFaultReplies, TrickleSendsTheWholeReplyAByteAtATime) {
  FaultServer server(Fault::kTrickle);
  const RawReply reply = server.Get();
  EXPECT_EQ(reply.error, 0);
  EXPECT_EQ(reply.body, FaultServer::kReply);
  const auto gaps = static_cast<int>(sizeof FaultServer::kReply - 2);
  EXPECT_GE(reply.took, gaps * server.timing_.trickle);
  EXPECT_EQ(server.logged(), FaultServer::kReply);
}

std::string FileText(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The modelled network on a real server and client on loopback. Only lower
// bounds of the delays are checked: a loaded machine may take longer.
TEST(SimulatorNetwork, CountsConnectionsKeepsThemForAWholeRunAndDelaysSetUpAndReplies) {
  using namespace std::chrono;
  const std::string stats = testing::TempDir() + "sim_stats.txt";
  const milliseconds rtt(40);
  NetworkModel network(rtt, stats);
  EXPECT_EQ(FileText(stats), "connections 0\nrequests 0\n");
  httplib::Server server;
  network.Install(server, 4);
  server.Get("/c", [&network](const httplib::Request&, httplib::Response& response) {
    network.BeforeReply();
    response.set_content(std::to_string(NetworkModel::CurrentConnection()), "text/plain");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  std::thread listener([&server] { server.listen_after_bind(); });

  auto timed = [](httplib::Client& client, std::string& body) {
    const auto start = steady_clock::now();
    auto reply = client.Get("/c");
    body = reply ? reply->body : "no reply";
    return duration_cast<milliseconds>(steady_clock::now() - start);
  };
  auto first = std::make_unique<httplib::Client>("127.0.0.1", port);
  first->set_keep_alive(true);
  std::string body;
  // The first request pays the set-up and the round trip, later ones on
  // the same connection only the round trip; more than httplib's default
  // of five requests stay on it.
  EXPECT_GE(timed(*first, body), 2 * rtt);
  EXPECT_EQ(body, "1");
  for (int i = 0; i < 7; ++i) {
    EXPECT_GE(timed(*first, body), rtt);
    EXPECT_EQ(body, "1");
  }
  httplib::Client second("127.0.0.1", port);
  EXPECT_GE(timed(second, body), 2 * rtt);
  // Closing a connection does not lose its count.
  first.reset();
  EXPECT_EQ(body, "2");
  EXPECT_EQ(network.Connections(), 2);
  EXPECT_EQ(network.Requests(), 9);
  EXPECT_EQ(FileText(stats), "connections 2\nrequests 9\n");

  // A worker holds a kept-alive connection until it idles out.
  second.stop();
  server.stop();
  listener.join();
  std::remove(stats.c_str());
}

}  // namespace
