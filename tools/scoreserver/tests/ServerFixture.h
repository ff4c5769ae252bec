// The server under test, started in this process on a free loopback port with
// a fresh database, and a client speaking to it.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "ReferenceEncoder.h"
#include "ScoreServer.h"
#include "TestDatabase.h"
#include "TestNetwork.h"

namespace scoreserver {

using reference::EncodeLikeTheGame;
using reference::ResultTextLikeTheGame;
using testnet::SplitBars;
using testnet::TemporaryFolder;

inline const std::string VersionTarget = "/cgi/version.pl?version&prg=Vantorix";
inline const std::string ResultTarget = "/cgi/version.pl?hs&prg=Vantorix&inf=";
inline const std::string TableTarget = "/cgi/version.pl?prg=Vantorix&show&type=0";

class ScoreServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.Path().empty());
        Start(DefaultSettings());
    }

    void TearDown() override { StopServer(); }

    ServerSettings DefaultSettings() {
        ServerSettings settings;
        settings.Database = testdb::FreshDatabase(folder_.Path());
        settings.LogSink = [this](std::string_view line) {
            std::lock_guard lock(logMutex_);
            log_ += line;
        };
        return settings;
    }

    // (Re)starts the server under test with these settings.
    void Start(const ServerSettings& settings) {
        StopServer();
        ASSERT_FALSE(settings.Database.starts_with("error:")) << settings.Database;
        server_ = std::make_unique<ScoreServer>(settings);
        const auto bound = server_->Bind("127.0.0.1", 0);
        ASSERT_TRUE(bound);
        port_ = *bound;
        serving_ = std::thread([this] { server_->Run(); });
        client_ = std::make_unique<httplib::Client>("127.0.0.1", port_);
        client_->set_connection_timeout(5);
        client_->set_read_timeout(5);
        client_->set_write_timeout(5);
    }

    void StopServer() {
        if (serving_.joinable()) {
            server_->Stop();
            serving_.join();
        }
        server_.reset();
    }

    std::string Log() {
        std::lock_guard lock(logMutex_);
        return log_;
    }

    // Status and body; status 0 when no answer came.
    std::pair<int, std::string> Get(const std::string& target) {
        const auto result = client_->Get(target.c_str());
        return result ? std::pair(result->status, result->body) : std::pair(0, std::string());
    }

    std::string FetchToken() {
        const auto [status, body] = Get(VersionTarget);
        EXPECT_EQ(status, 200);
        const auto fields = SplitBars(body);
        return fields.size() >= 5 ? fields[4] : std::string();
    }

    int Submit(const std::string& name, const std::string& score, const std::string& country) {
        const std::string text = ResultTextLikeTheGame(name, score, FetchToken(), country);
        return Get(ResultTarget + EncodeLikeTheGame(text)).first;
    }

    // Sends raw bytes on a fresh connection and returns whatever comes back before close.
    std::string SendRaw(const std::string& bytes) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) return "socket failed";
        timeval timeout{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        std::string reply;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size())) {
            shutdown(fd, SHUT_WR);
            char buffer[4096];
            for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;)
                reply.append(buffer, got);
        }
        close(fd);
        return reply;
    }

    void ExpectStillServing() {
        const auto [status, body] = Get(VersionTarget);
        EXPECT_EQ(status, 200);
        EXPECT_GE(SplitBars(body).size(), 6u);
    }

    TemporaryFolder folder_;
    std::mutex logMutex_;
    std::string log_;
    std::unique_ptr<ScoreServer> server_;
    int port_ = 0;
    std::thread serving_;
    std::unique_ptr<httplib::Client> client_;
};

} // namespace scoreserver
