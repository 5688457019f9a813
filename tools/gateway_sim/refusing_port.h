#pragma once

// A loopback TCP port that is bound but never listened on: every
// connection to it is refused, as by a gateway host with its service down.
// Holding the port keeps anyone else from answering on it meanwhile.
class RefusingPort {
 public:
  // `port` 0 picks a free one.
  explicit RefusingPort(int port);
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  // The bound port, or -1 when binding failed.
  int port() const { return port_; }

 private:
  int socket_ = -1;
  int port_ = -1;
};
