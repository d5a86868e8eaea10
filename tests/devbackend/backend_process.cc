#include "tests/devbackend/backend_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

int Connect() {
  const int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(35580);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address))) {
    close(sock);
    return -1;
  }
  return sock;
}

}  // namespace

BackendProcess::BackendProcess(const Env& environment)
    : process_(
          [&] {
            std::vector<std::string> argv = {"/usr/bin/env"};
            for (const auto& [name, value] : environment)
              argv.push_back(name + "=" + value);
            argv.push_back(KORVEL_BACKEND_PATH);
            return argv;
          }(),
          stderr_) {}

bool BackendProcess::WaitForPort(int timeoutMs) const {
  return WaitUntil([] { return IsPortOpen(); }, milliseconds(timeoutMs));
}

std::string BackendProcess::Ended(int timeoutMs) {
  const std::optional<int> status =
      process_.WaitForExit(milliseconds(timeoutMs));
  return status ? engine_test::DescribeStatus(*status) : "running";
}

RawReply RawExchange(const std::string& request) {
  RawReply reply;
  const int sock = Connect();
  if (sock < 0)
    return reply;
  const timeval timeout = {15, 0};
  setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
  if (send(sock, request.data(), request.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(request.size())) {
    close(sock);
    return reply;
  }
  char chunk[1024];
  for (;;) {
    const ssize_t n = recv(sock, chunk, sizeof(chunk), 0);
    if (n == 0)
      reply.closedByPeer = true;
    if (n <= 0)
      break;
    reply.bytes.append(chunk, static_cast<size_t>(n));
  }
  close(sock);
  const size_t headEnd = reply.bytes.find("\r\n\r\n");
  reply.head = reply.bytes.substr(0, headEnd);
  if (headEnd != std::string::npos)
    reply.body = reply.bytes.substr(headEnd + 4);
  const size_t space = reply.bytes.find(' ');
  if (space != std::string::npos)
    reply.status = std::atoi(reply.bytes.c_str() + space + 1);
  return reply;
}

RawReply Get(const std::string& path) {
  return RawExchange("GET " + path +
                     " HTTP/1.1\r\nHost: 127.0.0.1:35580\r\n"
                     "Connection: close\r\n\r\n");
}

RawReply Post(const std::string& path, const std::string& jsonBody) {
  return PostWith(path,
                  "Host: 127.0.0.1:35580\r\n"
                  "Content-Type: application/json\r\n",
                  jsonBody);
}

RawReply PostWith(const std::string& path,
                  const std::string& headers,
                  const std::string& body) {
  return RawExchange(
      "POST " + path + " HTTP/1.1\r\nConnection: close\r\n" + headers +
      "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

std::string HandshakeRequest() {
  return "POST /hot-update/prepare-restart HTTP/1.1\r\n"
         "Host: 127.0.0.1:35580\r\n"
         "Connection: close\r\n"
         "Origin: http://127.0.0.1:35580\r\n"
         "Content-Type: application/json\r\n"
         "Content-Length: 2\r\n"
         "\r\n"
         "{}";
}

bool IsPortOpen() {
  const int sock = Connect();
  if (sock < 0)
    return false;
  close(sock);
  return true;
}
