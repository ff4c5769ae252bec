// Verified scores: a result's replay uploaded after it, re-played by a verifier in its sandbox (here a
// stand-in script answering as the real one does), and the table marking what held up.
#include <sys/stat.h>

#include <sqlite3.h>

#include <fstream>
#include <random>

#include "ServerFixture.h"
#include "TokenStore.h"
#include "VerifierAnswer.h"

namespace scoreserver {
namespace {

using testnet::RawConnection;

const std::string FakeVerifier = SCORESERVER_TESTS_DIR "/fake-verifier.sh";

std::string ReplayTarget(const std::string& token) {
    return "/cgi/version.pl?replay&prg=Vantorix&p=" + token;
}

// A replay the stand-in verifier answers for as its words say.
std::string FakeReplay(const std::string& verdict, int score, const std::string& hash = "00000000000000aa") {
    return "VTXREPLY " + verdict + " " + std::to_string(score) + " " + hash;
}

class VerifiedScores : public ScoreServerTest {
  protected:
    void SetUp() override {
        ScoreServerTest::SetUp();
        Start(VerifyingSettings());
    }

    // Settings with a fresh database: the server running is stopped first, so no table is dropped under it.
    ServerSettings VerifyingSettings(std::vector<std::string> verifiers = {FakeVerifier}) {
        StopServer();
        ServerSettings settings = DefaultSettings();
        settings.Verify.Verifiers = std::move(verifiers);
        settings.Verify.Workers = 2;
        settings.Verify.Poll = std::chrono::milliseconds(50);
        settings.Verify.Limits.CpuSeconds = 1;
        settings.Verify.Limits.WallTime = std::chrono::seconds(5);
        return settings;
    }

    int Upload(const std::string& token, const std::string& replay) {
        const auto reply = client_->Post(ReplayTarget(token), replay, "application/octet-stream");
        return reply ? reply->status : 0;
    }

    // Sends a result and, when given, its replay played under the same name; returns the token both went
    // with.
    std::string Play(const std::string& name, int score, const std::string& replay = "") {
        const std::string token = FetchToken();
        EXPECT_EQ(Get(ResultTarget +
                      EncodeLikeTheGame(ResultTextLikeTheGame(name, std::to_string(score), token, "No")))
                      .first,
                  200);
        if (!replay.empty()) {
            EXPECT_EQ(Upload(token, replay + " " + name), 202) << name;
        }
        return token;
    }

    // The table once no result is being checked any more (five seconds at most).
    std::string SettledTable() {
        std::string page;
        for (int i = 0; i < 100; ++i) {
            page = Get(TableTarget).second;
            if (page.find("being checked") == std::string::npos) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return page;
    }

    // The row of a name in the table, or empty.
    static std::string RowOf(const std::string& page, const std::string& name) {
        const std::size_t cell = page.find("<td>" + name + "</td>");
        if (cell == std::string::npos) return "";
        const std::size_t start = page.rfind("<tr>", cell);
        return page.substr(start, page.find("</tr>", cell) - start);
    }
};

TEST_F(VerifiedScores, AReplayThatHoldsUpIsMarkedVerifiedAndCanBeDownloaded) {
    const std::string replay = FakeReplay("verified", 4200);
    Play("Ada", 4200, replay);
    const std::string uploaded = replay + " Ada";
    Play("Old", 100); // an older game sends no replay
    const std::string page = SettledTable();
    const std::string row = RowOf(page, "Ada");
    ASSERT_NE(row.find("verified"), std::string::npos) << page;
    const std::size_t link = row.find("href=\"/replays/");
    ASSERT_NE(link, std::string::npos) << row;
    const std::string target = row.substr(link + 6, row.find('"', link + 6) - link - 6);
    EXPECT_NE(RowOf(page, "Old").find("not checked"), std::string::npos);
    EXPECT_EQ(RowOf(page, "Old").find("href"), std::string::npos);
    EXPECT_NE(RowOf(Get("/").second, "Ada").find(target), std::string::npos) << "the home page marks it too";

    const auto download = client_->Get(target.c_str());
    ASSERT_TRUE(download);
    EXPECT_EQ(download->status, 200);
    EXPECT_EQ(download->body, uploaded);
    EXPECT_EQ(download->get_header_value("Content-Type"), "application/octet-stream");
    EXPECT_NE(download->get_header_value("Content-Disposition").find(".vtxreplay\""), std::string::npos);
    const auto head = client_->Head(target.c_str());
    ASSERT_TRUE(head);
    EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(uploaded.size()));
    for (const char* missing : {"/replays/999.vtxreplay", "/replays/0.vtxreplay", "/replays/-1.vtxreplay",
                                "/replays/1.vtxreplayx", "/replays/"})
        EXPECT_EQ(Get(missing).first, 404) << missing;
}

TEST_F(VerifiedScores, WhatDoesNotHoldUpIsRefusedAndNeverShown) {
    // (name, claimed score, replay): each one refused by its check.
    const std::tuple<const char*, int, std::string> cases[] = {
        {"Forger", 999999, FakeReplay("verified", 500, "00000000000000b1")}, // the game reached less
        {"Differs", 700, FakeReplay("mismatch", 700)},
        {"Damaged", 700, FakeReplay("unreadable", 700)},
        {"Stranger", 700, FakeReplay("other-build", 700)},
        {"Spinner", 700, FakeReplay("spin", 700)},
        {"Crasher", 700, FakeReplay("crash", 700)},
        {"Babbler", 700, FakeReplay("babble", 700)},
    };
    for (const auto& [name, score, replay] : cases)
        Play(name, score, replay);
    const std::string page = SettledTable();
    for (const auto& [name, score, replay] : cases)
        EXPECT_EQ(RowOf(page, name), "") << name << " is shown:\n" << page;
    const std::string log = Log();
    for (const char* reason : {"replay refused"})
        EXPECT_NE(log.find(reason), std::string::npos) << log;
}

TEST_F(VerifiedScores, TheSameGameIsVerifiedForOneResultOnly) {
    const std::string replay = FakeReplay("verified", 800, "00000000000000c1");
    Play("First", 800, replay);
    SettledTable();
    Play("Copier", 800, replay); // downloaded from the table and sent again under another name
    const std::string page = SettledTable();
    EXPECT_NE(RowOf(page, "First").find("verified"), std::string::npos) << page;
    EXPECT_EQ(RowOf(page, "Copier"), "") << page;
}

TEST_F(VerifiedScores, UploadsAreRefusedWithTheRightStatus) {
    const std::string token = Play("Ada", 10);
    const std::string replay = FakeReplay("verified", 10);
    const std::string head = "POST " + ReplayTarget(token) + " HTTP/1.1\r\nHost: x\r\n";
    struct Case {
        const char* What;
        std::string Bytes;
        int Status;
    };
    const Case cases[] = {
        {"no length", head + "\r\n" + replay, 411},
        {"chunks", head + "Transfer-Encoding: chunked\r\n\r\n5\r\nVTXRE\r\n0\r\n\r\n", 411},
        {"too large", head + "Content-Length: 262145\r\n\r\n", 413},
        {"an unknown expectation", head + "Content-Length: 3\r\nExpect: 42\r\n\r\nabc", 417},
        {"not a replay", head + "Content-Length: 5\r\n\r\nhello", 400},
        {"a GET", "GET " + ReplayTarget(token) + " HTTP/1.1\r\nHost: x\r\n\r\n", 405},
        {"a token never issued",
         "POST " + ReplayTarget(std::string(32, 'a')) +
             " HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(replay.size()) + "\r\n\r\n" + replay,
         400},
        {"a malformed token",
         "POST /cgi/version.pl?replay&prg=Vantorix&p=XYZ HTTP/1.1\r\nHost: x\r\nContent-Length: "
         "8\r\n\r\nVTXREPLY",
         400},
        {"a POST of the version request",
         "POST " + VersionTarget + " HTTP/1.1\r\nHost: x\r\nContent-Length: 8\r\n\r\nVTXREPLY", 405},
        {"a POST of the home page", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 8\r\n\r\nVTXREPLY", 405},
    };
    for (const Case& c : cases) {
        const std::string reply = SendRaw(c.Bytes);
        EXPECT_TRUE(reply.starts_with("HTTP/1.1 " + std::to_string(c.Status))) << c.What << ": " << reply;
    }
    EXPECT_EQ(Upload(token, replay), 202) << "none of the above used up the result's upload";
    EXPECT_EQ(Upload(token, replay), 409) << "one replay per result";
    ExpectStillServing();
}

TEST_F(VerifiedScores, AClientWaitingToContinueIsToldToSendItsBody) {
    const std::string token = Play("Ada", 10);
    const std::string replay = FakeReplay("verified", 10);
    RawConnection connection(port_);
    ASSERT_TRUE(connection.Send("POST " + ReplayTarget(token) + " HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                                std::to_string(replay.size()) + "\r\nExpect: 100-continue\r\n\r\n"));
    EXPECT_EQ(connection.Read(std::chrono::seconds(2), nullptr, 25), "HTTP/1.1 100 Continue\r\n\r\n");
    ASSERT_TRUE(connection.Send(replay));
    EXPECT_TRUE(connection.Read(std::chrono::seconds(5), nullptr, 12).starts_with("HTTP/1.1 202"));
}

TEST_F(VerifiedScores, ABodyThatStopsComingIsCutAtItsDeadline) {
    ServerSettings settings = VerifyingSettings();
    settings.Limits.BodyDeadline = std::chrono::milliseconds(500);
    Start(settings);
    const std::string token = Play("Ada", 10);
    RawConnection connection(port_);
    ASSERT_TRUE(connection.Send("POST " + ReplayTarget(token) +
                                " HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n" + "VTXREPLY"));
    bool closed = false;
    EXPECT_TRUE(connection.Read(std::chrono::seconds(5), &closed).starts_with("HTTP/1.1 408"));
    EXPECT_TRUE(closed);
    EXPECT_EQ(Upload(token, FakeReplay("verified", 10)), 202) << "the cut upload stored nothing";
}

TEST_F(VerifiedScores, UploadsBeingReceivedAtOnceAreBoundedTogether) {
    ServerSettings settings = VerifyingSettings();
    settings.Limits.MaxBodyBytesInFlight = 100000;
    Start(settings);
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 2; ++i) {
        slow.push_back(std::make_unique<RawConnection>(port_));
        slow.back()->Send("POST " + ReplayTarget(std::string(32, 'a')) +
                          " HTTP/1.1\r\nHost: x\r\nContent-Length: 40000\r\n\r\nVTX");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::string token = Play("Ada", 10);
    const auto refused =
        client_->Post(ReplayTarget(token), std::string(40000, 'x'), "application/octet-stream");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    EXPECT_EQ(refused->get_header_value("Retry-After"), "5");
    slow.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Upload(token, FakeReplay("verified", 10)), 202) << "room again once they are gone";
}

TEST_F(VerifiedScores, OnlyVerifiedResultsAreShownWhenRequired) {
    ServerSettings settings = VerifyingSettings();
    settings.RequireVerified = true;
    Start(settings);
    Play("Checked", 300, FakeReplay("verified", 300));
    Play("Unsent", 9000);
    std::string page;
    for (int i = 0; i < 100 && RowOf(page, "Checked").empty(); ++i) { // shown once it is verified
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        page = Get(TableTarget).second;
    }
    EXPECT_NE(RowOf(page, "Checked").find("verified"), std::string::npos) << page;
    EXPECT_EQ(RowOf(page, "Unsent"), "");
    EXPECT_EQ(RowOf(Get("/").second, "Unsent"), "");
}

TEST_F(VerifiedScores, TheBuildIsCheckedByTheVerifierThatPlaysIt) {
    // Stands in for one verifier per build: the first knows another build, the second this one.
    TemporaryFolder scripts;
    const auto otherBuild = scripts.Path() / "other-build.sh";
    std::ofstream(otherBuild) << "#!/bin/bash\necho '{\"verdict\":\"other-build\",\"reason\":\"\","
                                 "\"game_version\":\"0.9.0\",\"rules_version\":1,\"rules_hash\":null,\"final_"
                                 "hash\":null}'\nexit 2\n";
    chmod(otherBuild.c_str(), 0755);
    Start(VerifyingSettings({"/no/such/verifier", otherBuild.string(), FakeVerifier}));
    Play("Ada", 300, FakeReplay("verified", 300));
    EXPECT_NE(RowOf(SettledTable(), "Ada").find("verified"), std::string::npos);

    Start(VerifyingSettings({otherBuild.string()}));
    Play("Eve", 300, FakeReplay("verified", 300, "00000000000000e1"));
    EXPECT_EQ(RowOf(SettledTable(), "Eve"), "") << "no verifier here plays its build";
}

TEST_F(VerifiedScores, ReplaysWaitWhileNoVerifierCanRunAndTheQueueIsBounded) {
    ServerSettings settings = VerifyingSettings({"/no/such/verifier"});
    settings.MaxQueuedJobs = 2;
    Start(settings);
    Play("One", 1, FakeReplay("verified", 1, "0000000000000001"));
    Play("Two", 2, FakeReplay("verified", 2, "0000000000000002"));
    const std::string token = Play("Three", 3);
    const auto full =
        client_->Post(ReplayTarget(token), FakeReplay("verified", 3), "application/octet-stream");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->status, 503);
    EXPECT_EQ(full->get_header_value("Retry-After"), "60");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NE(RowOf(Get(TableTarget).second, "One").find("being checked"), std::string::npos);

    settings.Verify.Verifiers = {FakeVerifier}; // restarted with a verifier: the waiting ones are checked
    settings.Database = testdb::PostgresUnderTest() ? testdb::PostgresUnderTest() : settings.Database;
    Start(settings);
    const std::string page = SettledTable();
    EXPECT_NE(RowOf(page, "One").find("verified"), std::string::npos) << page;
    EXPECT_NE(RowOf(page, "Two").find("verified"), std::string::npos) << page;
    EXPECT_EQ(Upload(token, FakeReplay("verified", 3, "0000000000000003")), 202) << "room again";
}

TEST(UploadTime, AReplayComesWithinItsTokensLifetimeAndAMinute) {
    TokenStore tokens(8, std::chrono::seconds(600));
    const auto issued = TokenStore::Clock::time_point(std::chrono::milliseconds(1'700'000'000'000));
    const std::string token = tokens.Issue(issued);
    const int64_t issuedMs = 1'700'000'000'000;
    EXPECT_TRUE(UploadInTime(token, std::chrono::seconds(600), issuedMs + 600'000 + UploadSlackMs));
    EXPECT_FALSE(UploadInTime(token, std::chrono::seconds(600), issuedMs + 600'000 + UploadSlackMs + 1));
    EXPECT_FALSE(UploadInTime("not a token", std::chrono::seconds(600), issuedMs));
}

TEST(VerifierAnswer, TheLineIsReadStrictly) {
    const ReadAnswer good = ReadVerifierAnswer(
        "{\"verdict\":\"verified\",\"reason\":\"\",\"game_version\":\"1.0.0\",\"rules_version\":2,"
        "\"rules_hash\":\"0123456789abcdef\","
        "\"name\":\"Zo\\u00c3\\u00ab "
        "\\\"A\\\"\",\"claimed_score\":-12,\"claimed_stage\":4,\"claimed_frames\":99600,"
        "\"score\":-12,\"stage\":4,\"frames\":99600,\"played_ms\":600512,\"final_hash\":\"89abcdef01234567\","
        "\"first_mismatch_frame\":null}\nignored second line");
    ASSERT_TRUE(good.Answer) << good.Error;
    EXPECT_EQ(good.Answer->Verdict, "verified");
    EXPECT_EQ(good.Answer->Score, -12);
    EXPECT_EQ(good.Answer->FinalHash, "89abcdef01234567");
    // The verifier writes a name's bytes beyond ASCII one by one: "Zo\u00c3\u00ab" is the UTF-8 of "Zoë".
    const VerifyJob job{.ResultId = 1, .ClaimedScore = -12, .ClaimedName = "Zo\xC3\xAB \"A\""};
    EXPECT_EQ(good.Answer->Name, job.ClaimedName);
    EXPECT_EQ(JudgeAnswer(*good.Answer, 0, job).Result, Verdict::Verified);
    VerifyJob other = job;
    other.ClaimedScore = 12;
    EXPECT_EQ(JudgeAnswer(*good.Answer, 0, other).Result, Verdict::Refused)
        << "the result claims another score";
    other = job;
    other.ClaimedName = "Thief";
    EXPECT_EQ(JudgeAnswer(*good.Answer, 0, other).Result, Verdict::Refused) << "played under another name";
    EXPECT_EQ(JudgeAnswer(*good.Answer, 1, job).Result, Verdict::Refused) << "its status says otherwise";

    for (const char* bad : {"", "not json", "{\"verdict\":\"verified\"", "{\"verdict\":\"verified\"} x",
                            "{\"verdict\":\"verified\",\"verdict\":\"verified\"}", "{\"score\":1}",
                            "{\"verdict\":\"verified\",\"final_hash\":\"XYZ\"}", "{\"verdict\":true}",
                            "{\"verdict\":\"a\\x01\"}", "{\"verdict\":\"\\q\"}", "{\"verdict\":\"\\u12\"}"}) {
        EXPECT_FALSE(ReadVerifierAnswer(bad).Answer) << bad;
    }
    const ReadAnswer noHash =
        ReadVerifierAnswer("{\"verdict\":\"verified\",\"score\":5,\"final_hash\":null}");
    ASSERT_TRUE(noHash.Answer);
    EXPECT_EQ(JudgeAnswer(*noHash.Answer, 0, VerifyJob{.ClaimedScore = 5}).Result, Verdict::Refused)
        << "no final hash, no proof";
}

// A file of the server before replays: its results are kept, shown as not checked.
TEST(ScoreDatabase, AFileOfAnEarlierServerGainsTheNewColumns) {
    TemporaryFolder folder;
    const std::string path = (folder.Path() / "old.db").string();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(
            db,
            "CREATE TABLE results (id INTEGER PRIMARY KEY, name TEXT NOT NULL, score INTEGER NOT NULL,"
            " country TEXT NOT NULL, submitted_at INTEGER NOT NULL);"
            "INSERT INTO results (name, score, country, submitted_at) VALUES ('Veteran', 777, 'No', 1);",
            nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    ScoreDatabase database(path, 100);
    const auto best = database.Best(10);
    ASSERT_EQ(best.size(), 1u);
    EXPECT_EQ(best[0].Name, "Veteran");
    EXPECT_EQ(best[0].State, Verdict::Unverified);
    ScoreDatabase again(path, 100); // and opens again as it is now
    EXPECT_EQ(again.Best(10).size(), 1u);
}

} // namespace
} // namespace scoreserver

namespace scoreserver {
namespace {

// Mutated uploads, seeded so a failure repeats: heads with odd lengths and expectations, bodies cut
// short, grown or with bytes flipped, sent on raw connections. The server answers each (or closes),
// keeps serving, and stores a replay only for an upload whose bytes arrived whole.
TEST_F(VerifiedScores, MutatedUploadsLeaveTheServerServing) {
    std::mt19937 random(24);
    const std::string token = Play("Ada", 10);
    const std::string replay = FakeReplay("verified", 10);
    auto pick = [&](std::size_t below) {
        return std::uniform_int_distribution<std::size_t>(0, below - 1)(random);
    };
    for (int round = 0; round < 200; ++round) {
        std::string body = replay + std::string(pick(3) == 0 ? pick(300000) : 0, 'x');
        std::string length = std::to_string(body.size());
        switch (pick(6)) {
        case 0:
            body.resize(pick(body.size() + 1)); // cut short: the length promises more
            break;
        case 1:
            length = std::to_string(pick(1u << 30));
            break;
        case 2:
            length = pick(2) ? "-1" : "1e3";
            break;
        default:
            for (int flips = 0; flips < 4; ++flips)
                body[pick(body.size())] ^= static_cast<char>(1 << pick(8));
        }
        std::string head =
            "POST " + ReplayTarget(token) + " HTTP/1.1\r\nHost: x\r\nContent-Length: " + length + "\r\n";
        if (pick(4) == 0) head += "Expect: 100-continue\r\n";
        if (pick(8) == 0) head += "Content-Length: " + length + "\r\n";
        std::string request = head + "\r\n" + body;
        if (pick(5) == 0) request[pick(head.size())] ^= static_cast<char>(1 << pick(8));
        RawConnection connection(port_);
        connection.Send(request);
        const std::string reply = connection.Read(std::chrono::milliseconds(300), nullptr, 12);
        EXPECT_TRUE(reply.empty() || reply.starts_with("HTTP/1.1 ")) << round << ": " << reply.substr(0, 40);
        EXPECT_FALSE(reply.starts_with("HTTP/1.1 500")) << round << reply;
        if (round % 20 == 0) ExpectStillServing();
    }
    ExpectStillServing();
}

} // namespace
} // namespace scoreserver
