#include "tests/backend/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// Reads the request head and, when announced, its body.
std::string ReadRequest(int connection) {
  timeval timeout = {1, 0};
  setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
  std::string data;
  char buffer[1024];
  for (;;) {
    std::string::size_type end = data.find("\r\n\r\n");
    if (end != std::string::npos) {
      std::string::size_type length = data.find("Content-Length: ");
      size_t wanted = 0;
      if (length != std::string::npos && length < end) {
        wanted = strtoul(data.c_str() + length + 16, nullptr, 10);
      }
      if (data.size() >= end + 4 + wanted) {
        return data;
      }
    }
    ssize_t count = recv(connection, buffer, sizeof(buffer), 0);
    if (count <= 0) {
      return data;
    }
    data.append(buffer, count);
  }
}

}  // namespace

ScriptedServer::~ScriptedServer() {
  Stop();
}

bool ScriptedServer::Start(int port, Handler handler) {
  handler_ = std::move(handler);
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    return false;
  }
  int on = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) !=
          0 ||
      listen(listener_, 16) != 0) {
    close(listener_);
    listener_ = -1;
    return false;
  }
  stop_ = false;
  thread_ = std::thread(&ScriptedServer::Serve, this);
  return true;
}

void ScriptedServer::Stop() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
  if (listener_ >= 0) {
    close(listener_);
    listener_ = -1;
  }
}

std::vector<RecordedRequest> ScriptedServer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void ScriptedServer::Serve() {
  while (!stop_) {
    pollfd waiting = {listener_, POLLIN, 0};
    if (poll(&waiting, 1, 20) <= 0) {
      continue;
    }
    int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) {
      Answer(connection);
      close(connection);
    }
  }
}

void ScriptedServer::Answer(int connection) {
  RecordedRequest request;
  request.raw = ReadRequest(connection);
  std::string::size_type space = request.raw.find(' ');
  std::string::size_type second = request.raw.find(' ', space + 1);
  if (space != std::string::npos && second != std::string::npos) {
    request.method = request.raw.substr(0, space);
    request.path = request.raw.substr(space + 1, second - space - 1);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }
  ScriptedReply reply = handler_(request);
  std::string bytes = reply.raw;
  if (bytes.empty()) {
    bytes = "HTTP/1.1 " + std::to_string(reply.status) +
            " Scripted\r\nContent-Type: application/json\r\nContent-Length: " +
            std::to_string(reply.body.size()) +
            "\r\nConnection: close\r\n\r\n" + reply.body;
  }
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t count = send(connection, bytes.data() + sent, bytes.size() - sent,
                         MSG_NOSIGNAL);
    if (count <= 0) {
      break;
    }
    sent += count;
  }
}
