// The devices' web pages: a small HTTP server on port 80 of each device
// address (and a plain TCP accept on port 443 for a device whose ssl text
// contains '1'), enough for a browser launcher's reachability check and for
// a browser to show the page. Runs on its own thread.
#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "devsim_config.h"

namespace devsim {

class WebServer {
public:
  using Log = std::function<void(const std::string&)>;
  explicit WebServer(Log log) : m_log(std::move(log)) {}
  ~WebServer() { Stop(); }
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // Listens for every device whose `web` key is on, at the address it is
  // configured with. An address that is not local to this host (or a port
  // already taken) is logged as a note and skipped; the devices' protocol
  // answers do not depend on it. Starts the serving thread.
  void Start(const std::vector<DeviceConfig>& devices);
  // Ends the thread and closes every socket.
  void Stop();

  // The page of a device, as served.
  static std::string Page(const DeviceConfig& device);

private:
  struct Listener {
    int fd;
    int port;
    std::string address;
    std::string page;  // empty: accept and close (port 443)
  };
  void Serve();
  void Answer(const Listener& listener, int client);

  Log m_log;
  std::vector<Listener> m_listeners;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace devsim
