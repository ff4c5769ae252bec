// The server on loopback: started in-process on a free port, spoken to with an
// HTTP client and with raw bytes.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <tuple>

#include "ServerFixture.h"

namespace scoreserver {
namespace {

using testnet::RawConnection;

TEST_F(ScoreServerTest, VersionLineCarriesAFreshTokenInTheFifthField) {
    const auto [status, first] = Get(VersionTarget);
    ASSERT_EQ(status, 200);
    const auto fields = SplitBars(first);
    ASSERT_GE(fields.size(), 6u);
    EXPECT_EQ(fields[0], "Vantorix");
    EXPECT_EQ(fields[4].size(), 32u);
    EXPECT_NE(FetchToken(), fields[4]);
}

TEST_F(ScoreServerTest, SecondServerCannotTakeTheSamePort) {
    ServerSettings settings = DefaultSettings();
    settings.Database = testdb::PostgresUnderTest() ? testdb::PostgresUnderTest() : settings.Database + "2";
    ScoreServer other(settings);
    EXPECT_FALSE(other.Bind("127.0.0.1", port_));
}

TEST_F(ScoreServerTest, SubmittedResultsAppearInTheTableBestFirst) {
    for (const auto& [name, score, country] :
         {std::tuple("Low", "100", "Peru"), std::tuple("High", "90000", "Norway"),
          std::tuple("Mid", "-5", "Chile")}) {
        EXPECT_EQ(Get(TableTarget).first, 200); // a page kept from before this result
        EXPECT_EQ(Get("/").first, 200);
        EXPECT_EQ(Submit(name, score, country), 200);
        EXPECT_NE(Get("/").second.find(name), std::string::npos) << "the kept home page is not shown";
    }

    const auto result = client_->Get(TableTarget.c_str());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const std::string& page = result->body;
    const auto high = page.find("<td>High</td><td class=\"score\">90000</td><td>Norway</td>");
    const auto low = page.find("<td>Low</td><td class=\"score\">100</td><td>Peru</td>");
    const auto mid = page.find("<td>Mid</td><td class=\"score\">-5</td><td>Chile</td>");
    ASSERT_NE(high, std::string::npos) << page;
    ASSERT_NE(low, std::string::npos);
    ASSERT_NE(mid, std::string::npos);
    EXPECT_LT(high, low);
    EXPECT_LT(low, mid);
}

TEST_F(ScoreServerTest, TokenMustBeIssuedAndIsSpentByOneResult) {
    const std::string token = FetchToken();
    const std::string encoded = EncodeLikeTheGame(ResultTextLikeTheGame("Beam", "500", token, "No"));
    EXPECT_EQ(Get(ResultTarget + encoded).first, 200);
    EXPECT_EQ(Get(ResultTarget + encoded).first, 400) << "the same token twice";

    const std::string forged =
        EncodeLikeTheGame(ResultTextLikeTheGame("Beam", "500", std::string(32, 'a'), "No"));
    EXPECT_EQ(Get(ResultTarget + forged).first, 400) << "a token never issued";
}

TEST_F(ScoreServerTest, RejectedResultDoesNotSpendItsToken) {
    const std::string token = FetchToken();
    const auto wrongKey = EncodeLikeTheGame(ResultTextLikeTheGame("Beam", "500", token, "No", 'Q'));
    EXPECT_EQ(Get(ResultTarget + wrongKey).first, 400);
    const auto good = EncodeLikeTheGame(ResultTextLikeTheGame("Beam", "500", token, "No"));
    EXPECT_EQ(Get(ResultTarget + good).first, 200);
}

TEST_F(ScoreServerTest, NamesAndCountriesAreHtmlEscaped) {
    ASSERT_EQ(Submit("<b>X&Y\"'", "700", "<i>"), 200);
    const auto [status, page] = Get(TableTarget);
    ASSERT_EQ(status, 200);
    EXPECT_NE(page.find("&lt;b&gt;X&amp;Y&quot;&#39;"), std::string::npos) << page;
    EXPECT_NE(page.find("&lt;i&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<b>X"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
}

TEST_F(ScoreServerTest, MalformedRequestsGetA400) {
    const std::string validResult = EncodeLikeTheGame(ResultTextLikeTheGame("Beam", "1", FetchToken(), "No"));
    const std::string scripts[] = {
        "/cgi/version.pl",
        "/cgi/version.pl?version",
        "/cgi/version.pl?version&prg=Other",
        "/cgi/version.pl?version&prg=vantorix",
        "/cgi/version.pl?version&hs&prg=Vantorix",
        "/cgi/version.pl?version&prg=Vantorix&prg=Vantorix",
        "/cgi/version.pl?version&version&prg=Vantorix",
        "/cgi/version.pl?version&prg=Vantorix&extra=1",
        "/cgi/version.pl?version=1&prg=Vantorix",
        "/cgi/version.pl?version&prg=Vantorix&inf=MM",
        "/cgi/version.pl?hs&prg=Vantorix",
        "/cgi/version.pl?hs&prg=Vantorix&inf=",
        "/cgi/version.pl?hs&prg=Vantorix&inf=" + validResult + "&inf=" + validResult,
        "/cgi/version.pl?hs&prg=Vantorix&inf=mnbv",
        "/cgi/version.pl?hs&prg=Vantorix&inf=%00%FF%0D%0A",
        "/cgi/version.pl?hs&prg=Vantorix&inf=" + validResult.substr(1),
        "/cgi/version.pl?hs&prg=Vantorix&inf=" + EncodeLikeTheGame("garbage!!!"),
        "/cgi/version.pl?hs&prg=Vantorix&inf=" + std::string(MaxEncodedResultLength + 8, 'M'),
        "/cgi/version.pl?hs&prg=Vantorix&inf=" + std::string(MaxTargetLength, 'M'),
        "/cgi/version.pl?prg=Vantorix&show",
        "/cgi/version.pl?prg=Vantorix&show&type=1",
        "/cgi/version.pl?prg=Vantorix&show&type=0&type=0",
        "/cgi/version.pl?&&&=&=x&prg=Vantorix",
        "/cgi/version.pl?version&prg=Vantorix&",
        "/cgi/version.pl?version&prg=Vant%6Frix%",
        "/cgi/version.pl?version&prg=Vantorix%zz",
    };
    for (const std::string& target : scripts) {
        const auto [status, body] = Get(target);
        EXPECT_EQ(status, 400) << target.substr(0, 100);
        EXPECT_TRUE(body.starts_with("ERROR|")) << target.substr(0, 100) << ": " << body;
    }
    EXPECT_EQ(Get("/cgi/other.pl?version&prg=Vantorix").first, 404);
    EXPECT_EQ(Get("/cgi/versionXpl?version&prg=Vantorix").first, 404);
    EXPECT_EQ(Get("/cgi/version.pl?version&prg=Vant%6Frix").first, 200) << "escapes are decoded";
    ExpectStillServing();
    EXPECT_EQ(Get(ResultTarget + validResult).first, 200) << "none of the above spent the token";
}

TEST_F(ScoreServerTest, OversizedAndGarbageRequestsAreRefusedWithoutHarm) {
    const auto [hugeStatus, hugeBody] = Get(ResultTarget + std::string(20000, 'M'));
    EXPECT_GE(hugeStatus, 400);
    EXPECT_LT(hugeStatus, 500);

    const std::string garbage[] = {
        std::string("\x16\x03\x01\x02\x00\x01\xFF\xFE\r\n\r\n", 12),
        "GET\r\n\r\n",
        "GET /cgi/version.pl?version&prg=Vantorix\r\n\r\n",
        "BREW /cgi/version.pl?version&prg=Vantorix HTTP/1.1\r\nHost: x\r\n\r\n",
        "GET /cgi/version.pl?version&prg=Vantorix HTTP/1.1\r\nHost: x\r\nX-Long: " + std::string(20000, 'a') +
            "\r\n\r\n",
        "POST /cgi/version.pl?version&prg=Vantorix HTTP/1.1\r\nHost: x\r\nContent-Length: "
        "99999999\r\n\r\nabc",
        std::string(3000, '\0') + "\r\n\r\n",
    };
    for (const std::string& bytes : garbage) {
        const std::string reply = SendRaw(bytes);
        const bool refused = reply.starts_with("HTTP/1.1 4") && !reply.starts_with("HTTP/1.1 404");
        EXPECT_TRUE(refused || reply.empty()) << reply.substr(0, 60);
        ExpectStillServing();
    }
}

// Pages must be well-formed HTML: checked by tidy, an independent validator.
void ExpectValidHtml(const std::string& page, const std::string& what) {
    TemporaryFolder folder;
    const auto file = folder.Path() / "page.html";
    std::ofstream(file) << page;
    const std::string command = "tidy -q -e " + file.string() + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string report;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        report += buffer;
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << what << " is not valid HTML:\n" << report;
}

TEST_F(ScoreServerTest, HomePageShowsTheTopTenEscapedAndLinksTheTable) {
    for (int i = 1; i <= 12; ++i)
        ASSERT_EQ(Submit(i == 12 ? "<b>&Ace" : "P" + std::to_string(i), std::to_string(i * 100), "No"), 200);
    const auto home = client_->Get("/");
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, 200);
    EXPECT_EQ(home->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const std::string& page = home->body;
    EXPECT_NE(page.find("space shooter"), std::string::npos) << "says what the game is";
    EXPECT_NE(page.find("<td>&lt;b&gt;&amp;Ace</td><td class=\"score\">1200</td>"), std::string::npos)
        << page;
    EXPECT_EQ(page.find("<b>&Ace"), std::string::npos);
    EXPECT_NE(page.find("<td>P3</td><td class=\"score\">300</td>"), std::string::npos);
    EXPECT_EQ(page.find("<td>P2</td>"), std::string::npos) << "only the top ten";
    EXPECT_NE(page.find("href=\"/cgi/version.pl?prg=Vantorix&amp;show&amp;type=0\""), std::string::npos);
    ExpectValidHtml(page, "the home page");
    ExpectValidHtml(Get(TableTarget).second, "the table page");
    ExpectValidHtml(Get("/").second, "the home page");
}

TEST_F(ScoreServerTest, RangeHeaderStillGetsTheWholePage) {
    ASSERT_EQ(Submit("Beam", "500", "No"), 200);
    const auto whole = client_->Get(TableTarget.c_str());
    const auto ranged = client_->Get(TableTarget.c_str(), {{"Range", "bytes=0-10,0-10,0-10,5-"}});
    ASSERT_TRUE(whole && ranged);
    EXPECT_EQ(ranged->status, 200);
    EXPECT_EQ(ranged->body, whole->body);
    EXPECT_FALSE(ranged->has_header("Content-Range"));
    EXPECT_FALSE(ranged->has_header("Accept-Ranges"));
}

TEST_F(ScoreServerTest, HeadReadsPagesButNeverIssuesNorSpendsAToken) {
    const std::string token = FetchToken();
    const std::string result =
        ResultTarget + EncodeLikeTheGame(ResultTextLikeTheGame("Beam", "5", token, "No"));
    for (const std::string& target : {VersionTarget, result}) {
        const auto head = client_->Head(target.c_str());
        ASSERT_TRUE(head);
        EXPECT_EQ(head->status, 405) << target;
        EXPECT_EQ(head->get_header_value("Allow"), "GET");
    }
    EXPECT_EQ(Get(result).first, 200) << "the token is still good after both HEADs";

    for (const std::string& target : {TableTarget, std::string("/")}) {
        const auto head = client_->Head(target.c_str());
        const auto get = client_->Get(target.c_str());
        ASSERT_TRUE(head && get);
        EXPECT_EQ(head->status, 200);
        EXPECT_TRUE(head->body.empty());
        EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(get->body.size()));
    }
}

TEST_F(ScoreServerTest, SlowClientsAreCutAtTheDeadlineWhileOthersAreServed) {
    ServerSettings settings = DefaultSettings();
    settings.Limits.RequestDeadline = std::chrono::milliseconds(800);
    Start(settings);
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 20; ++i) {
        slow.push_back(std::make_unique<RawConnection>(port_));
        ASSERT_TRUE(slow.back()->Send("GET " + VersionTarget + " HTTP/1.1\r\n"));
    }
    for (int round = 0; round < 5; ++round) {
        for (auto& connection : slow)
            connection->Send("X");
        ExpectStillServing();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (auto& connection : slow) {
        bool closed = false;
        const std::string reply = connection->Read(std::chrono::seconds(5), &closed);
        EXPECT_TRUE(reply.starts_with("HTTP/1.1 408")) << reply;
        EXPECT_TRUE(closed);
    }
    ExpectStillServing();
}

TEST_F(ScoreServerTest, WhenFullTheOldestIdleOrSlowestConnectionMakesRoom) {
    ServerSettings settings = DefaultSettings();
    settings.Limits.MaxConnections = 8;
    for (const bool idle : {true, false}) {
        SCOPED_TRACE(idle ? "idle connections" : "connections in the middle of a request");
        Start(settings);
        std::vector<std::unique_ptr<RawConnection>> held;
        for (int i = 0; i < 8; ++i) {
            held.push_back(std::make_unique<RawConnection>(port_));
            if (idle)
                ASSERT_EQ(held.back()->Exchange(VersionTarget), 200);
            else
                ASSERT_TRUE(held.back()->Send("GET / HTTP/1.1\r\n"));
            std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a clear order of age
        }
        RawConnection newcomer(port_);
        EXPECT_EQ(newcomer.Exchange(VersionTarget), 200);
        bool closed = false;
        held.front()->Read(std::chrono::seconds(2), &closed);
        EXPECT_TRUE(closed) << "the oldest made room";
        if (idle)
            EXPECT_EQ(held.back()->Exchange(VersionTarget), 200) << "the newest stays";
        else
            EXPECT_TRUE(held.back()->Send("Host: x\r\n\r\n") &&
                        held.back()->Read(std::chrono::seconds(2), nullptr, 12).starts_with("HTTP/1.1 200"));
    }
    EXPECT_NE(Log().find("closed for a new"), std::string::npos) << Log();
}

// Partial heads from one address each, so no per-address limit is involved.
std::vector<std::unique_ptr<RawConnection>> SlowHeads(int port, const std::string& network, int count) {
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 1; i <= count; ++i) {
        slow.push_back(std::make_unique<RawConnection>(port, (network + std::to_string(i)).c_str()));
        slow.back()->Send("GET / HTTP/1.1\r\n");
    }
    return slow;
}

int StillOpen(std::vector<std::unique_ptr<RawConnection>>& connections) {
    int open = 0;
    for (auto& connection : connections) {
        bool closed = false;
        connection->Read(std::chrono::milliseconds(10), &closed);
        open += closed ? 0 : 1;
    }
    return open;
}

TEST_F(ScoreServerTest, WhenFullANewConnectionIsNotCutBeforeItCouldSendItsRequest) {
    ServerSettings settings = DefaultSettings();
    settings.Limits.MaxConnections = 16;
    Start(settings);
    auto old = SlowHeads(port_, "127.0.1.", 16);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200)); // their heads are slow now
    RawConnection player(port_);                                  // has sent nothing yet
    auto burst = SlowHeads(port_, "127.0.2.", 12);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(player.Exchange("/"), 200);
    EXPECT_EQ(StillOpen(burst), 12) << "the new ones were not cut either";
    EXPECT_LE(StillOpen(old), 16 - 12);
}

TEST_F(ScoreServerTest, OneAddressCannotFillTheConnectionTable) {
    ServerSettings settings = DefaultSettings();
    settings.Limits.MaxConnections = 32;
    settings.Limits.MaxPerAddress = 8;
    Start(settings);
    std::vector<std::unique_ptr<RawConnection>> attack;
    for (int i = 0; i < 40; ++i) {
        attack.push_back(std::make_unique<RawConnection>(port_, "127.0.0.2"));
        attack.back()->Send("GET / HTTP/1.1\r\n");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(StillOpen(attack), 8);
    auto others = SlowHeads(port_, "127.0.1.", 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(StillOpen(others), 20) << "other addresses still find room";
    EXPECT_EQ(Get("/").first, 200);
    EXPECT_EQ(Submit("Ada", "10", "No"), 200);
}

TEST_F(ScoreServerTest, AFloodOfVersionRequestsVoidsNoPlayersToken) {
    const std::string token = FetchToken();
    RawConnection flood(port_, "127.0.0.2");
    std::string batch;
    for (int i = 0; i < 100; ++i)
        batch += "GET " + VersionTarget + " HTTP/1.1\r\nHost: x\r\n\r\n";
    for (int round = 0; round < 200; ++round) { // 20 000 tokens issued after the player's
        ASSERT_TRUE(flood.Send(batch));
        std::string replies;
        for (int answered = 0; answered < 100;) {
            const std::string got = flood.Read(std::chrono::seconds(5), nullptr, 1);
            ASSERT_FALSE(got.empty());
            replies += got;
            for (std::size_t at; (at = replies.find("\nVantorix|")) != std::string::npos; ++answered)
                replies.erase(0, at + 1);
        }
    }
    const std::string text = ResultTextLikeTheGame("Ada", "10", token, "No");
    EXPECT_EQ(Get(ResultTarget + EncodeLikeTheGame(text)).first, 200);
}

TEST_F(ScoreServerTest, PipelinedRequestsAreAnsweredInOrder) {
    RawConnection connection(port_);
    const std::string request = "GET " + VersionTarget + " HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_TRUE(connection.Send(request + "GET /nowhere HTTP/1.1\r\nHost: x\r\n\r\n" + request +
                                "GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    bool closed = false;
    std::string replies = connection.Read(std::chrono::seconds(5), &closed);
    EXPECT_TRUE(closed) << "the last asked for close";
    std::vector<int> statuses;
    for (std::size_t at = replies.find("HTTP/1.1 "); at != std::string::npos;
         at = replies.find("HTTP/1.1 ", at + 1))
        statuses.push_back(std::atoi(replies.c_str() + at + 9));
    EXPECT_EQ(statuses, (std::vector<int>{200, 404, 200, 200}));
}

TEST_F(ScoreServerTest, ServersSharingADatabaseAcceptEachTokenOnceWhicheverGetsIt) {
    if (!testdb::PostgresUnderTest()) GTEST_SKIP() << "tokens are shared only through PostgreSQL";
    ServerSettings settings = DefaultSettings();
    settings.Database = testdb::PostgresUnderTest(); // the same tables, not fresh ones
    ScoreServer other(settings);
    const auto otherPort = other.Bind("127.0.0.1", 0);
    ASSERT_TRUE(otherPort);
    std::thread serving([&] { other.Run(); });
    httplib::Client otherClient("127.0.0.1", *otherPort);

    for (int round = 0; round < 10; ++round) {
        const std::string token = FetchToken();
        const std::string target =
            ResultTarget +
            EncodeLikeTheGame(ResultTextLikeTheGame("Both" + std::to_string(round), "9", token, "No"));
        int here = 0;
        int there = 0;
        std::thread racer([&] {
            const auto reply = otherClient.Get(target.c_str());
            there = reply ? reply->status : 0;
        });
        here = Get(target).first;
        racer.join();
        EXPECT_EQ(std::min(here, there), 200) << "round " << round;
        EXPECT_EQ(std::max(here, there), 400) << "round " << round;
    }
    const auto page = otherClient.Get(TableTarget.c_str());
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<td>Both9</td>"), std::string::npos) << "one table for both";
    other.Stop();
    serving.join();
}

TEST_F(ScoreServerTest, StoreHoldsLittleMoreResultsThanItKeeps) {
    StoreSettings settings;
    settings.Address = testdb::FreshDatabase(folder_.Path(), "kept.db");
    settings.MaxStoredResults = 10;
    const auto store = OpenScoreStore(settings);
    for (int score = 1; score <= 200; ++score) // one transaction each, quickly after one another
        store->StoreResults({{"N" + std::to_string(score), score, "No", store->IssueToken()}}, 0);
    const auto held = store->Best(1000);
    EXPECT_LT(held.size(), 10u + 64u) << "PostgreSQL prunes after 64 rows at the latest, SQLite at once";
    ASSERT_GE(held.size(), 10u);
    EXPECT_EQ(held.front().Score, 200);
    EXPECT_EQ(held[9].Score, 191);
}

TEST(ScoreDatabase, KeepsOnlyTheBestResultsWhenFull) {
    TemporaryFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    ScoreDatabase database((folder.Path() / "scores.db").string(), 3);
    for (int32_t score : {50, 10, 40, 20, 40}) {
        StoredResult row;
        row.Name = "P" + std::to_string(score);
        row.Score = score;
        database.Add(row);
    }
    const auto best = database.Best(10);
    ASSERT_EQ(best.size(), 3u);
    EXPECT_EQ(best[0].Score, 50);
    EXPECT_EQ(best[1].Score, 40);
    EXPECT_EQ(best[2].Score, 40);
}

TEST(ScoreDatabase, UnusableFileIsReportedByName) {
    TemporaryFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string path = (folder.Path() / "missing-folder" / "scores.db").string();
    try {
        ScoreDatabase database(path, 10);
        ADD_FAILURE() << "opened " << path;
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace scoreserver
