// Plays the SMS gateway on loopback for the tests, the benchmark and the
// demo: answers GET /smsgateway.pl by simple rules, logs every request and
// misbehaves on request. Stops on SIGINT/SIGTERM or after --lifetime.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <thread>

#include "fault_replies.h"
#include "faults.h"
#include "gateway_rules.h"
#include "network_model.h"
#include "query.h"
#include "refusing_port.h"
#include "request_log.h"

namespace {

struct Options {
  int port = 0;
  std::string portFile;
  std::string logPath;
  Fault fault = Fault::kNone;
  std::map<std::string, Fault> script;
  GatewayAccountRule account;
  int lifetimeSeconds = 300;
  int stallSeconds = 120;
  int rttMs = 0;
  std::string statsPath;
};

const char kUsage[] =
    "usage: gateway_sim [--port N] [--port-file FILE] [--log FILE] [--fault MODE]\n"
    "                   [--script FILE] [--user NAME] [--pass PASSWORD]\n"
    "                   [--lifetime SECONDS] [--stall-seconds SECONDS]\n"
    "                   [--rtt-ms MS] [--stats-file FILE]\n"
    "  --port 0 (default) picks a free port; the port is printed and written to --port-file.\n"
    "  MODE: none refuse stall status500 html garbage huge chunked nul stallbody reset close\n"
    "    trickle (tests/gateway/sim_faults.txt says what each does)\n"
    "  --script: lines \"<to> <mode>\" play a fault for one recipient number.\n"
    "  --rtt-ms: a modelled network round trip; a new connection waits MS before its\n"
    "    first request is read (the set-up) and every reply waits MS (default 0).\n"
    "  Connections stay open for any number of requests (5 s idle). Each log line\n"
    "  names its \"connection\" (numbered from 1); --stats-file keeps the totals as\n"
    "  the lines \"connections N\" and \"requests N\", rewritten whole as they change.\n";

bool ParseNumber(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || number < low || number > high) return false;
  value = static_cast<int>(number);
  return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    std::string error;
    if (name == "--port") {
      if (!ParseNumber(value, 0, 65535, options.port)) return false;
    } else if (name == "--port-file") {
      options.portFile = value;
    } else if (name == "--log") {
      options.logPath = value;
    } else if (name == "--fault") {
      const auto fault = ParseFault(value);
      if (!fault) return false;
      options.fault = *fault;
    } else if (name == "--script") {
      auto script = ReadFaultScript(value, error);
      if (!script) {
        std::cerr << "gateway_sim: " << error << "\n";
        return false;
      }
      options.script = std::move(*script);
    } else if (name == "--user") {
      options.account.user = value;
    } else if (name == "--pass") {
      options.account.password = value;
    } else if (name == "--lifetime") {
      if (!ParseNumber(value, 1, 86400, options.lifetimeSeconds)) return false;
    } else if (name == "--stall-seconds") {
      if (!ParseNumber(value, 0, 86400, options.stallSeconds)) return false;
    } else if (name == "--rtt-ms") {
      if (!ParseNumber(value, 0, 60000, options.rttMs)) return false;
    } else if (name == "--stats-file") {
      options.statsPath = value;
    } else {
      return false;
    }
  }
  return true;
}

void Serve(httplib::Server& server, const Options& options, NetworkModel& network, RequestLog& log,
           StopSignal& stop) {
  auto nextId = std::make_shared<std::atomic<unsigned long>>(1000);
  network.Install(server, 16);
  // Headers and body leave in separate writes; without this the body waits
  // for the client's delayed acknowledgement, tens of milliseconds a reply.
  server.set_tcp_nodelay(true);
  server.Get("/smsgateway.pl", [&options, &network, &log, &stop, nextId](
                                   const httplib::Request& request, httplib::Response& response) {
    network.BeforeReply();
    const long connection = NetworkModel::CurrentConnection();
    const QueryParameters parameters = ParseQuery(request.target);
    const auto scripted = options.script.find(ParameterValue(parameters, "to"));
    const Fault fault = scripted != options.script.end() ? scripted->second : options.fault;
    const FaultTiming timing{std::chrono::seconds(options.stallSeconds)};
    if (fault == Fault::kStall) {
      log.Write(request.target, parameters, connection, FaultName(fault), 0, "");
      stop.WaitFor(timing.stall);
      response.status = 503;
      return;
    }
    const std::string reply = GatewayReply(parameters, options.account, (*nextId)++);
    const std::string sent = PlayFault(fault, reply, request, response, stop, timing);
    log.Write(request.target, parameters, connection, FaultName(fault), response.status, sent);
  });
}

bool Announce(const Options& options, int port) {
  std::printf("gateway simulator listening on 127.0.0.1:%d\n", port);
  std::fflush(stdout);
  if (options.portFile.empty()) return true;
  // Written whole under a temporary name, so that a reader never sees half.
  const std::string temporary = options.portFile + ".tmp";
  std::ofstream(temporary) << port << "\n";
  return std::rename(temporary.c_str(), options.portFile.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  RequestLog log(options.logPath);
  if (!log.ok()) {
    std::cerr << "gateway_sim: cannot write log " << options.logPath << "\n";
    return 1;
  }
  // Signals are taken by the main thread alone; a peer that hangs up is
  // not a reason to die.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  NetworkModel network(std::chrono::milliseconds(options.rttMs), options.statsPath);
  if (!network.ok()) {
    std::cerr << "gateway_sim: cannot write stats file " << options.statsPath << "\n";
    return 1;
  }
  httplib::Server server;
  StopSignal stop;
  std::thread listener;
  std::unique_ptr<RefusingPort> refusing;
  int port = -1;
  if (options.fault == Fault::kRefuse) {
    refusing = std::make_unique<RefusingPort>(options.port);
    port = refusing->port();
  } else {
    Serve(server, options, network, log, stop);
    port = options.port == 0 ? server.bind_to_any_port("127.0.0.1")
                             : (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
    if (port > 0) listener = std::thread([&server] { server.listen_after_bind(); });
  }
  if (port <= 0) {
    std::cerr << "gateway_sim: cannot bind 127.0.0.1:" << options.port << "\n";
    return 1;
  }
  if (!Announce(options, port)) {
    std::cerr << "gateway_sim: cannot write " << options.portFile << "\n";
  }
  const timespec lifetime{options.lifetimeSeconds, 0};
  sigtimedwait(&signals, nullptr, &lifetime);
  stop.Raise();
  server.stop();
  if (listener.joinable()) listener.join();
  return 0;
}
