#include <gtest/gtest.h>

#include <string>

#include "HttpRequest.h"
#include "ServerLog.h"

namespace scoreserver {
namespace {

const RequestLimits Limits;

std::string Fields(int count) {
    std::string fields;
    for (int i = 0; i < count; ++i)
        fields += "X-F" + std::to_string(i) + ": v\r\n";
    return fields;
}

TEST(RequestHead, SoundHeadsAreReadWithTheirKeepAlive) {
    struct Case {
        std::string Bytes;
        std::string Method;
        std::string Target;
        bool KeepAlive;
    };
    const Case cases[] = {
        {"GET /a?b HTTP/1.1\r\nHost: x\r\n\r\n", "GET", "/a?b", true},
        {"GET / HTTP/1.0\r\n\r\n", "GET", "/", false},
        {"GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", "GET", "/", true},
        {"HEAD / HTTP/1.1\r\nConnection: foo, close\r\nHost: x\r\n\r\n", "HEAD", "/", false},
        {"GET / HTTP/1.1\nHost: x\n\n", "GET", "/", true},
        {"\r\n\r\nGET / HTTP/1.1\r\nContent-Length: 0\r\nhost: x\r\n\r\n", "GET", "/", true},
        {"GET / HTTP/1.1\r\nHost: x\r\n" + Fields(39) + "\r\n", "GET", "/", true},
    };
    for (const Case& c : cases) {
        const ParsedHead head = ParseRequestHead(c.Bytes, Limits);
        ASSERT_EQ(head.State, HeadState::Complete) << c.Bytes << head.Reason;
        EXPECT_EQ(head.Request.Method, c.Method);
        EXPECT_EQ(head.Request.Target, c.Target);
        EXPECT_EQ(head.Request.KeepAlive, c.KeepAlive) << c.Bytes;
        EXPECT_EQ(head.Length, c.Bytes.size());
    }
}

TEST(RequestHead, PipelinedRequestEndsWhereItsHeadEnds) {
    const std::string first = "GET /1 HTTP/1.1\r\nHost: x\r\n\r\n";
    const ParsedHead head = ParseRequestHead(first + "GET /2 HTTP/1.1\r\nHost: x\r\n\r\n", Limits);
    ASSERT_EQ(head.State, HeadState::Complete);
    EXPECT_EQ(head.Length, first.size());
}

TEST(RequestHead, UnfinishedHeadWaitsUntilItWouldPassTheCap) {
    EXPECT_EQ(ParseRequestHead("GET / HTTP/1.1\r\nHost: x\r\n", Limits).State, HeadState::Incomplete);
    EXPECT_EQ(ParseRequestHead("GE", Limits).State, HeadState::Incomplete);
    const ParsedHead endless =
        ParseRequestHead("GET / HTTP/1.1\r\nX: " + std::string(Limits.MaxHeadBytes, 'a'), Limits);
    EXPECT_EQ(endless.State, HeadState::Refused);
    EXPECT_EQ(endless.Status, 431);
    const ParsedHead blankLines = ParseRequestHead(std::string(Limits.MaxHeadBytes, '\n'), Limits);
    EXPECT_EQ(blankLines.Status, 431);
}

TEST(RequestHead, HostileHeadsAreRefusedWithTheRightStatus) {
    struct Case {
        std::string Bytes;
        int Status;
    };
    const Case cases[] = {
        {"GET / HTTP/1.1\r\n" + Fields(41) + "\r\n", 431},
        {"GET / HTTP/1.1\r\nX: " + std::string(Limits.MaxHeadBytes, 'a') + "\r\n\r\n", 431},
        {"GET /" + std::string(Limits.MaxRequestLine, 'a') + " HTTP/1.1\r\n\r\n", 414},
        {"GET / HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello", 413},
        {"GET / HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: 0\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
        {"POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
        {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
        {"POST / HTTP/1.1\r\nHost: x\r\n\r\n", 411},
        {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(Limits.MaxBodyBytes + 1) +
             "\r\n\r\n",
         413},
        {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999999999999999999999\r\n\r\n", 413},
        {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 1 2\r\n\r\n", 400},
        {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nContent-Length: 2\r\n\r\nab", 400},
        {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nExpect: 200-ok\r\n\r\nab", 417},
        {"GET / HTTP/1.1\r\nX: a\r\n folded\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nNo colon here\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nBad Name: v\r\n\r\n", 400},
        {std::string("GET / HTTP/1.1\r\nX: a\0b\r\n\r\n", 27), 400},
        {"GET / HTTP/2.0\r\n\r\n", 505},
        {"GET / FTP/1.0\r\n\r\n", 400},
        {"GET /\r\n\r\n", 400},
        {"GET  / HTTP/1.1\r\n\r\n", 400},
        {"GET /\x7F HTTP/1.1\r\n\r\n", 400},
        {"G(T / HTTP/1.1\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", 400},
        {"GET / HTTP/1.0\r\nHost: a\r\nhost: a\r\n\r\n", 400},
        {std::string("\x16\x03\x01\x02\x00\x01\xFF\xFE\r\n\r\n", 12), 400},
    };
    for (const Case& c : cases) {
        const ParsedHead head = ParseRequestHead(c.Bytes, Limits);
        EXPECT_EQ(head.State, HeadState::Refused) << c.Bytes.substr(0, 60);
        EXPECT_EQ(head.Status, c.Status) << c.Bytes.substr(0, 60) << ": " << head.Reason;
        EXPECT_FALSE(head.Reason.empty());
    }
}

TEST(RequestBody, APostsBodyIsCompleteOnlyWithItsLastByte) {
    const std::string head =
        "POST /up HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nExpect: 100-Continue\r\n\r\n";
    const ParsedHead waiting = ReadRequest(head + "hell", Limits);
    ASSERT_EQ(waiting.State, HeadState::AwaitingBody) << waiting.Reason;
    EXPECT_EQ(waiting.Length, head.size());
    EXPECT_EQ(waiting.Request.BodyLength, 5u);
    EXPECT_TRUE(waiting.Request.ExpectContinue);

    const std::string next = "GET / HTTP/1.1\r\nHost: x\r\n\r\n";
    const ParsedHead whole = ReadRequest(head + "hello" + next, Limits);
    ASSERT_EQ(whole.State, HeadState::Complete);
    EXPECT_EQ(whole.Request.Body, "hello");
    EXPECT_EQ(whole.Length, head.size() + 5) << "the pipelined request after it is left alone";

    const ParsedHead empty = ReadRequest("POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n", Limits);
    ASSERT_EQ(empty.State, HeadState::Complete);
    EXPECT_TRUE(empty.Request.Body.empty());
    const ParsedHead get = ReadRequest("GET / HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\n\r\n", Limits);
    ASSERT_EQ(get.State, HeadState::Complete);
    EXPECT_FALSE(get.Request.ExpectContinue) << "nothing to continue with";
}

TEST(RequestHead, TargetSplitsIntoPathAndQuery) {
    EXPECT_EQ(TargetPath("/cgi/version.pl?version&prg=Vantorix"), "/cgi/version.pl");
    EXPECT_EQ(TargetQuery("/cgi/version.pl?version&prg=Vantorix"), "version&prg=Vantorix");
    EXPECT_EQ(TargetPath("http://example.org/cgi/version.pl?x"), "/cgi/version.pl");
    EXPECT_EQ(TargetPath("http://example.org"), "/");
    EXPECT_EQ(TargetQuery("/"), "");
}

TEST(ServerLog, WritesOneSummaryASecondCountingEveryRefusal) {
    std::vector<std::string> lines;
    ServerLog log([&](std::string_view line) { lines.emplace_back(line); });
    const ServerLog::Clock::time_point start{std::chrono::hours(1)};
    log.Flush(start, 0);
    EXPECT_TRUE(lines.empty()) << "nothing happened, nothing written";

    for (int i = 0; i < 1000; ++i) {
        log.Answered("version");
        log.Refused("result does not decode: 'x' at 3");
        log.Refused("result does not decode: byte 0x00");
        log.Flush(start + std::chrono::milliseconds(i), 4);
    }
    log.Refused("wrong\nprogram\x01");
    log.Flush(start + std::chrono::milliseconds(1500), 4);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("answered 1 (version 1); refused 2 (result does not decode 2); 4 connections"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("answered 999 (version 999); refused 1999 (result does not decode 1998, "
                            "wrong?program? 1)"),
              std::string::npos)
        << lines[1];

    for (int i = 0; i < 100; ++i)
        log.Refused("kind " + std::to_string(i) + ": detail");
    log.Flush(start + std::chrono::seconds(3), 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[2].find("other 68"), std::string::npos) << "kinds beyond the cap fold together";
    EXPECT_LT(lines[2].size(), 1200u);
}

} // namespace
} // namespace scoreserver
