// Small helpers of the server tests: a scratch folder and a raw client socket.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace scoreserver::testnet {

inline std::vector<std::string> SplitBars(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
        fields.push_back(line.substr(start, bar - start));
    fields.push_back(line.substr(start));
    return fields;
}

class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "scoreserver-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A client socket the tests drive byte by byte.
class RawConnection {
  public:
    // from: the loopback address to connect from (127.0.0.1 unless given).
    explicit RawConnection(int port, const char* from = nullptr) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        if (from) {
            sockaddr_in source{};
            source.sin_family = AF_INET;
            inet_pton(AF_INET, from, &source.sin_addr);
            bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~RawConnection() {
        if (fd_ >= 0) close(fd_);
    }
    bool Ok() const { return fd_ >= 0; }
    bool Send(std::string_view bytes) {
        return send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // What arrives within timeout; closed tells whether the server closed the connection.
    std::string Read(std::chrono::milliseconds timeout, bool* closed = nullptr,
                     std::size_t enough = SIZE_MAX) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        if (closed) *closed = false;
        while (got.size() < enough) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
            char buffer[4096];
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                if (closed) *closed = true;
                break;
            }
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    // One answer to a request on a kept-alive connection: its status, 0 if none came.
    int Exchange(const std::string& target) {
        if (!Send("GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n")) return 0;
        std::string reply;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            const std::size_t end = reply.find("\r\n\r\n");
            const std::size_t length = reply.find("Content-Length: ");
            if (end != std::string::npos && length < end &&
                reply.size() >= end + 4 + std::stoul(reply.substr(length + 16)))
                return std::atoi(reply.c_str() + 9);
            bool closed = false;
            reply += Read(std::chrono::milliseconds(200), &closed, 1); // whatever has come
            if (closed) break;
        }
        return 0;
    }

  private:
    int fd_;
};

} // namespace scoreserver::testnet
