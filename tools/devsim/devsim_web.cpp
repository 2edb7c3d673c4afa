#include "devsim_web.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace devsim {

namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;
constexpr int kPollMs = 200;  // how soon Stop is noticed
constexpr int kRequestWaitMs = 1000;  // how long a client may take to send its request

int ListenOn(const std::string& address, int port, std::string* error) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = std::strerror(errno);
    return -1;
  }
  int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, address.c_str(), &local.sin_addr);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || listen(fd, 8) != 0) {
    *error = std::strerror(errno);
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string WebServer::Page(const DeviceConfig& device) {
  return "<html><head><title>" + device.name + "</title></head><body><h1>" + device.name +
         "</h1><p>Web configuration of " + device.address + "</p></body></html>\n";
}

void WebServer::Start(const std::vector<DeviceConfig>& devices) {
  std::set<std::pair<std::string, int>> taken;
  for (const DeviceConfig& d : devices) {
    if (!d.web) continue;
    const bool ssl = d.ssl.find('1') != std::string::npos;
    for (int port : {kHttpPort, kHttpsPort}) {
      if (port == kHttpsPort && !ssl) continue;
      if (!taken.insert({d.address, port}).second) continue;
      std::string error;
      const int fd = ListenOn(d.address, port, &error);
      if (fd < 0) {
        m_log("web off " + d.address + ":" + std::to_string(port) + " " + error);
        continue;
      }
      m_listeners.push_back({fd, port, d.address, port == kHttpPort ? Page(d) : std::string()});
      m_log("web on " + d.address + ":" + std::to_string(port));
    }
  }
  if (!m_listeners.empty()) m_thread = std::thread([this] { Serve(); });
}

void WebServer::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  for (const Listener& l : m_listeners) close(l.fd);
  m_listeners.clear();
}

void WebServer::Serve() {
  std::vector<pollfd> fds;
  for (const Listener& l : m_listeners) fds.push_back({l.fd, POLLIN, 0});
  while (!m_stop) {
    if (poll(fds.data(), fds.size(), kPollMs) <= 0) continue;
    for (size_t i = 0; i < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      sockaddr_in from{};
      socklen_t length = sizeof from;
      const int client = accept4(fds[i].fd, reinterpret_cast<sockaddr*>(&from), &length, SOCK_CLOEXEC);
      if (client < 0) continue;
      char fromText[INET_ADDRSTRLEN] = "?";
      inet_ntop(AF_INET, &from.sin_addr, fromText, sizeof fromText);
      m_log("web connect " + m_listeners[i].address + ":" + std::to_string(m_listeners[i].port) + " from " +
            fromText);
      Answer(m_listeners[i], client);
      close(client);
    }
  }
}

void WebServer::Answer(const Listener& listener, int client) {
  if (listener.page.empty()) return;
  // Reads the request head; a client that only checks the connection
  // closes without sending one.
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
    pollfd p{client, POLLIN, 0};
    if (poll(&p, 1, kRequestWaitMs) <= 0) return;
    const ssize_t n = recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    request.append(buffer, static_cast<size_t>(n));
  }
  const std::string line = request.substr(0, request.find("\r\n"));
  m_log("web request " + listener.address + " " + line);
  const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                            std::to_string(listener.page.size()) + "\r\nConnection: close\r\n\r\n" +
                            listener.page;
  size_t sent = 0;
  while (sent < reply.size()) {
    const ssize_t n = send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace devsim
