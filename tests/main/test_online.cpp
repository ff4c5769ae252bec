// Online side: the result encoding, the two requests and their headers, failures that lead to the retry
// question, the real score server on loopback, and the browser hand-over through a stand-in opener.
// All traffic stays on 127.0.0.1 and every wait is bounded.
#include "Harness.h"

#include "DXCtrl/TDDEdit.h"
#include "DXCtrl/TDDTextBtnCollection.h"
#include "Game/TGame.h"
#include "ResultCodec.h"
#include "ShellPilot.h"
#include "VerifierAnswer.h"
#include "VerifierSandbox.h"
#include "core/ScreenState.h"
#include "main/GameRecording.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/Screens.h"
#include "main/Watching.h"
#include "online/GoToLink.h"
#include "online/ScoreSending.h"
#include "online/ServerHost.h"
#include "online/WebAddress.h"
#include "online/WebScores.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "persistence/PersistenceState.h"
#include "platform/Clock.h"
#include "platform/Gamepad.h"
#include "platform/HttpClient.h"
#include "platform/Launcher.h"
#include "platform/Surface.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <random>
#include <span>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* VersionTarget = "/cgi/version.pl?version&prg=Vantorix";
constexpr const char* ResultTargetStart = "/cgi/version.pl?hs&prg=Vantorix&inf=";
constexpr const char* TableTarget = "/cgi/version.pl?prg=Vantorix&show&type=0";

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

// Polls `done` every 10 ms for at most `limit`; true when it came true.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

struct ScopedTempFolder {
    fs::path path;
    explicit ScopedTempFolder(const std::string& name) {
        path = fs::temp_directory_path() / ("vantorix-online-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScopedTempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// The score server's settings are program-wide; every test gets them back as they were.
struct ScopedScoreServer {
    TScoreServer saved = ScoreServer;
    explicit ScopedScoreServer(int port, int32_t requestTimeoutMs = 3000) {
        ScoreServer.BaseAddress = "http://127.0.0.1:" + std::to_string(port);
        ScoreServer.ConnectTimeoutMs = 2000;
        ScoreServer.RequestTimeoutMs = requestTimeoutMs;
    }
    ~ScopedScoreServer() { ScoreServer = saved; }
};

// A port on which nothing listens: bound once to learn a free number, then closed.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

struct SeenRequest {
    std::string Method;
    std::string Target;
    std::map<std::string, std::string> Headers; // as sent, names as written
    std::string Body;                           // as many bytes as Content-Length announced
};

struct CannedAnswer {
    int Status = 200;
    std::string Body;
    std::string ExtraHeaders; // whole lines, each ending in "\r\n"
};

// A tiny HTTP/1.1 listener on 127.0.0.1 that records each request and answers from a script (the last
// answer repeats), or, when silent, accepts and never answers.
class LoopbackListener {
  public:
    explicit LoopbackListener(std::vector<CannedAnswer> script, bool silent = false)
        : answers(std::move(script)), silent(silent) {
        listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        ::setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listenFd, 8);
        socklen_t length = sizeof address;
        ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        worker = std::thread([this] { Serve(); });
    }
    ~LoopbackListener() {
        stopping = true;
        worker.join();
        for (const int fd : heldOpen)
            ::close(fd);
        ::close(listenFd);
    }

    int Port() const { return port; }
    std::vector<SeenRequest> Requests() {
        std::lock_guard lock(mutex);
        return seen;
    }
    // Runs on the listener's thread as each request arrives, while the game waits for the answer.
    std::function<void(const SeenRequest&)> OnRequest;

  private:
    void Serve() {
        while (!stopping) {
            pollfd waiting{listenFd, POLLIN, 0};
            if (::poll(&waiting, 1, 20) <= 0) continue;
            const int fd = ::accept(listenFd, nullptr, nullptr);
            if (fd < 0) continue;
            const std::string head = ReadHead(fd);
            SeenRequest request = Parse(head);
            ReadBody(fd, head, request);
            if (OnRequest) OnRequest(request);
            size_t index;
            {
                std::lock_guard lock(mutex);
                seen.push_back(request);
                index = seen.size() - 1;
            }
            if (silent) {
                heldOpen.push_back(fd);
                continue;
            }
            const CannedAnswer& answer = answers[std::min(index, answers.size() - 1)];
            const std::string reply = "HTTP/1.1 " + std::to_string(answer.Status) +
                                      " Canned\r\nContent-Length: " + std::to_string(answer.Body.size()) +
                                      "\r\nConnection: close\r\n" + answer.ExtraHeaders + "\r\n" +
                                      answer.Body;
            [[maybe_unused]] const ssize_t sent = ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(fd);
        }
    }

    std::string ReadHead(int fd) {
        std::string head;
        char buffer[4096];
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (head.find("\r\n\r\n") == std::string::npos && Clock::now() < deadline && !stopping) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 20) <= 0) continue;
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            head.append(buffer, static_cast<size_t>(got));
        }
        return head;
    }

    // The body after the head, told to come first when the client waits for that.
    void ReadBody(int fd, const std::string& head, SeenRequest& request) {
        const auto length = request.Headers.find("Content-Length");
        if (length == request.Headers.end()) return;
        const size_t wanted = std::stoul(length->second);
        request.Body = head.substr(std::min(head.size(), head.find("\r\n\r\n") + 4));
        if (request.Headers.count("Expect") && request.Body.size() < wanted) {
            constexpr std::string_view Continue = "HTTP/1.1 100 Continue\r\n\r\n";
            [[maybe_unused]] const ssize_t sent = ::send(fd, Continue.data(), Continue.size(), MSG_NOSIGNAL);
        }
        char buffer[4096];
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (request.Body.size() < wanted && Clock::now() < deadline && !stopping) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 20) <= 0) continue;
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.Body.append(buffer, static_cast<size_t>(got));
        }
    }

    static SeenRequest Parse(const std::string& head) {
        SeenRequest request;
        std::istringstream lines(head.substr(0, head.find("\r\n\r\n") + 2));
        std::string line;
        std::getline(lines, line);
        const size_t first = line.find(' ');
        const size_t second = line.find(' ', first + 1);
        if (first != std::string::npos && second != std::string::npos) {
            request.Method = line.substr(0, first);
            request.Target = line.substr(first + 1, second - first - 1);
        }
        while (std::getline(lines, line) && line != "\r") {
            const size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            std::string value = line.substr(colon + 1);
            while (!value.empty() && (value.front() == ' '))
                value.erase(0, 1);
            while (!value.empty() && (value.back() == '\r'))
                value.pop_back();
            request.Headers[line.substr(0, colon)] = value;
        }
        return request;
    }

    std::vector<CannedAnswer> answers;
    const bool silent;
    int listenFd = -1;
    int port = 0;
    std::vector<int> heldOpen;
    std::atomic<bool> stopping = false;
    std::mutex mutex;
    std::vector<SeenRequest> seen;
    std::thread worker;
};

// The text inside a result request's "inf" parameter, as the score server decodes it.
std::string DecodedResultOf(const SeenRequest& request) {
    const std::string_view target = request.Target;
    const std::string_view start = ResultTargetStart;
    if (!target.starts_with(start)) return "(not a result request: " + request.Target + ")";
    const scoreserver::DecodedText decoded = scoreserver::DecodeResult(target.substr(start.size()));
    return decoded.Text ? *decoded.Text : "(does not decode: " + decoded.Error + ")";
}

// ---------------------------------------------------------------------------------------------------
// The encoding and the result text

TEST(OnlineEncoding, KnownTextsEncodeToKnownLetters) {
    struct Case {
        std::string text;
        std::string encoded;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", "ZB8TV"},                     // 24 bits get one leading fill bit: five characters
        {std::string(5, '\0'), "MMMMMMMM"},   // five bytes, eight characters, no fill
        {std::string(5, '\xFF'), "11111111"}, // the last letter of the alphabet is value 31
        {"\xE9", "LJ"},                       // a byte above 127 is eight bits like any other
        {"\xC3\xA9", "NP3J"},                 // UTF-8 "e acute": two bytes, encoded byte by byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeResult(c.text), c.encoded) << "text of " << c.text.size() << " bytes";
}

TEST(OnlineEncoding, EveryTextRoundTripsThroughTheServersDecoder) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    for (size_t length = 1; length <= everyByte.size();
         length += 17) { // the server never takes an empty text
        const std::string text = everyByte.substr(everyByte.size() - length);
        const std::string encoded = EncodeResult(text);
        EXPECT_EQ(encoded.size(), (text.size() * 8 + 4) / 5);
        EXPECT_EQ(encoded.find_first_not_of(ResultAlphabet), std::string::npos);
        const scoreserver::DecodedText decoded = scoreserver::DecodeResult(encoded);
        ASSERT_TRUE(decoded.Text.has_value()) << decoded.Error << " for " << length << " bytes";
        EXPECT_EQ(*decoded.Text, text);
    }
}

TEST(OnlineEncoding, ResultTextIsAMultipleOfFiveAndParsesOnTheServer) {
    for (size_t nameLength = 0; nameLength <= 10; ++nameLength) {
        const std::string name(nameLength, 'Q');
        const std::string text =
            BuildResultText(name, -1234, "T0KEN", "\xC3\x89IRE"); // country with a UTF-8 letter
        EXPECT_EQ(text.size() % 5, 0u) << text;
        EXPECT_EQ(EncodeResult(text).size(), text.size() / 5 * 8) << "no fill bits for a whole text";
        EXPECT_TRUE(text.starts_with("type=0|name=" + name + "|score=-1234|key=V|p=T0KEN|add=\xC3\x89IRE|z="))
            << text;
        if (nameLength == 0) continue; // the server wants a name
        const scoreserver::ParsedResult parsed = scoreserver::ParseResultText(text);
        ASSERT_TRUE(parsed.Result.has_value()) << parsed.Error << " in " << text;
        EXPECT_EQ(parsed.Result->Name, name);
        EXPECT_EQ(parsed.Result->Score, -1234);
        EXPECT_EQ(parsed.Result->Token, "T0KEN");
        EXPECT_EQ(parsed.Result->Country, "\xC3\x89IRE");
    }
}

TEST(OnlineEncoding, PIsTheFifthFieldOnlyWhenTheReplyHasFiveBars) {
    struct Case {
        std::string reply;
        std::string p;
    };
    const Case cases[] = {
        {"a|b|c|d|e|f", "e"},                              // six fields
        {"a|b|c|d|e", ""},                                 // five fields
        {"a|b|c|d|e|", "e"},                               // a trailing bar is the fifth
        {"Vantorix|1.0|ok|600|4f2a|1700000000\n", "4f2a"}, // the server's own reply
        {"||||||", ""},
        {"", ""},
        {"no bars at all", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FifthField(c.reply), c.p) << c.reply;
}

// ---------------------------------------------------------------------------------------------------
// The two requests against an in-test listener

class OnlineSubmit : public ::testing::Test {
  protected:
    void SetUp() override {
        ScreenState = ScreenPleaseWait;
        Options.Country = "NORWAY";
    }
    void TearDown() override {
        Options = TOptions{};
        ScreenState = ScreenIntro;
    }
};

TEST_F(OnlineSubmit, SendsVersionThenResultWithTheHeadersAndCookies) {
    LoopbackListener listener(
        {{200, "Vantorix|1.0|ok|600|TOKEN42|99\n", "Set-Cookie: visit=abc123; Path=/\r\n"},
         {200, "OK|result stored\n", ""}});
    ScopedScoreServer server(listener.Port());
    EXPECT_TRUE(SubmitScore("ACE", 0));

    const std::vector<SeenRequest> requests = listener.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Target, VersionTarget);
    EXPECT_EQ(DecodedResultOf(requests[1]), "type=0|name=ACE|score=0|key=V|p=TOKEN42|add=NORWAY|z=00");
    for (const SeenRequest& request : requests) {
        const auto header = [&](const char* name) {
            const auto found = request.Headers.find(name);
            return found == request.Headers.end() ? std::string("(missing)") : found->second;
        };
        EXPECT_EQ(header("Accept"), "text/html, */*");
        EXPECT_EQ(header("Content-Type"), "text/html");
        EXPECT_EQ(header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    }
    EXPECT_EQ(requests[1].Headers.count("Cookie") ? requests[1].Headers.at("Cookie") : "", "visit=abc123");
}

TEST_F(OnlineSubmit, AShortVersionReplyStillSendsTheResultWithAnEmptyP) {
    LoopbackListener listener({{200, "Vantorix|1.0|ok|600|TOKEN42", ""}});
    ScopedScoreServer server(listener.Port());
    EXPECT_TRUE(SubmitScore("ACE", 0));
    const std::vector<SeenRequest> requests = listener.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(DecodedResultOf(requests[1]), "type=0|name=ACE|score=0|key=V|p=|add=NORWAY|z=0000");
}

TEST_F(OnlineSubmit, AFailedVersionRequestAsksToRetryAndSendsNothingMore) {
    for (const int status : {404, 500, 302}) {
        LoopbackListener listener({{status, "a|b|c|d|e|f", ""}});
        ScopedScoreServer server(listener.Port());
        ScreenState = ScreenPleaseWait;
        EXPECT_FALSE(SubmitScore("ACE", 0)) << "status " << status;
        EXPECT_EQ(listener.Requests().size(), 1u) << "status " << status;
    }
}

TEST_F(OnlineSubmit, AFailedResultRequestIsNotSent) {
    LoopbackListener listener({{200, "a|b|c|d|e|f", ""}, {500, "ERROR|broken\n", ""}});
    ScopedScoreServer server(listener.Port());
    EXPECT_FALSE(SubmitScore("ACE", 0));
    EXPECT_EQ(listener.Requests().size(), 2u);
}

TEST_F(OnlineSubmit, ARefusedConnectionAsksToRetryAtOnce) {
    ScopedScoreServer server(ClosedPort());
    const auto start = Clock::now();
    EXPECT_FALSE(SubmitScore("ACE", 0));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2)); // a refusal, not a time-out
}

TEST_F(OnlineSubmit, AServerThatNeverAnswersTimesOutIntoTheRetryQuestion) {
    LoopbackListener listener({}, /*silent=*/true);
    ScopedScoreServer server(listener.Port(), /*requestTimeoutMs=*/400);
    const auto start = Clock::now();
    EXPECT_FALSE(SubmitScore("ACE", 0));
    const auto waited = Clock::now() - start;
    EXPECT_EQ(listener.Requests().size(), 1u) << "the request reached the listener and was left unanswered";
    EXPECT_GE(waited, std::chrono::milliseconds(350));
    EXPECT_LT(waited, std::chrono::seconds(5));
}

// A recorded game's bytes, long enough that the client asks to continue before sending them.
std::vector<uint8_t> SomeReplay() {
    std::vector<uint8_t> replay(3000);
    for (size_t i = 0; i < replay.size(); ++i)
        replay[i] = static_cast<uint8_t>(i * 7 + 1);
    return replay;
}

// Sends on the sending thread as the send question does, and waits for how it ended.
ScoreSendState SendAndWait(const std::string& name, int32_t score, std::vector<uint8_t> replay) {
    StartSendingScore(name, score, std::move(replay));
    ScoreSendState state = ScoreSendState::Waiting;
    EXPECT_TRUE(WaitFor([&] { return (state = TakeScoreSendState()) != ScoreSendState::Waiting; }));
    return state;
}

TEST_F(OnlineSubmit, AReplayIsPostedAfterTheTwoRequestsWithTheResultsToken) {
    LoopbackListener listener({{200, "Vantorix|1.0|ok|600|0123abcd|99\n", ""},
                               {200, "OK|result stored\n", ""},
                               {202, "OK|replay taken\n", ""}});
    ScopedScoreServer server(listener.Port());
    const std::vector<uint8_t> replay = SomeReplay();
    EXPECT_EQ(SendAndWait("ACE", 70, replay), ScoreSendState::Sent);
    const std::vector<SeenRequest> requests = listener.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].Target, VersionTarget);
    EXPECT_EQ(DecodedResultOf(requests[1]), "type=0|name=ACE|score=70|key=V|p=0123abcd|add=NORWAY|z=");
    EXPECT_EQ(requests[1].Method, "GET");
    const SeenRequest& upload = requests[2];
    EXPECT_EQ(upload.Method, "POST");
    EXPECT_EQ(upload.Target, "/cgi/version.pl?replay&prg=Vantorix&p=0123abcd");
    EXPECT_EQ(upload.Headers.count("Content-Type") ? upload.Headers.at("Content-Type") : "",
              "application/octet-stream");
    EXPECT_EQ(upload.Body, std::string(replay.begin(), replay.end()));
}

TEST_F(OnlineSubmit, WithoutAReplayOnlyTheTwoRequestsGo) {
    LoopbackListener listener({{200, "a|b|c|d|TOKEN|f", ""}, {200, "OK\n", ""}});
    ScopedScoreServer server(listener.Port());
    EXPECT_EQ(SendAndWait("ACE", 70, {}), ScoreSendState::Sent);
    EXPECT_EQ(listener.Requests().size(), 2u);
}

TEST_F(OnlineSubmit, AnUploadThatFailsLeavesTheResultSentAndSaysSo) {
    // (the upload's answer, whether the token was odd): a refused upload, a server before replays, an
    // escaped token.
    for (const auto& [status, fifth] :
         {std::pair(409, "abc"), std::pair(405, "abc"), std::pair(500, "a b#c&d")}) {
        LoopbackListener listener({{200, std::string("a|b|c|d|") + fifth + "|f", ""},
                                   {200, "OK\n", ""},
                                   {status, "ERROR|no\n", ""}});
        ScopedScoreServer server(listener.Port());
        EXPECT_EQ(SendAndWait("ACE", 70, SomeReplay()), ScoreSendState::ReplayNotSent) << status;
        const std::vector<SeenRequest> requests = listener.Requests();
        ASSERT_EQ(requests.size(), 3u);
        EXPECT_EQ(requests[2].Target, std::string("/cgi/version.pl?replay&prg=Vantorix&p=") +
                                          (status == 500 ? "a%20b%23c%26d" : "abc"));
    }
    LoopbackListener refused({{200, "a|b|c|d|TOKEN|f", ""}, {500, "ERROR|broken\n", ""}});
    ScopedScoreServer server(refused.Port());
    EXPECT_EQ(SendAndWait("ACE", 70, SomeReplay()), ScoreSendState::NotSent) << "no result, no replay";
    EXPECT_EQ(refused.Requests().size(), 2u);
}

TEST(OnlineHttpClient, AnOverLongReplyIsAFailure) {
    LoopbackListener listener({{200, std::string(HttpClient::MaxReplyBytes + 1, 'x'), ""}});
    HttpClient client;
    client.SetTimeouts(2000, 3000);
    const HttpReply reply = client.Get("http://127.0.0.1:" + std::to_string(listener.Port()) + "/");
    EXPECT_FALSE(reply.Ok);
    EXPECT_FALSE(reply.Error.empty());
}

// ---------------------------------------------------------------------------------------------------
// The send flow in the shell: waiting notice, retry question, answers

constexpr uint32_t FrozenColour = 0x123456;
constexpr int OutsidePanelX = 700, OutsidePanelY = 100;

// A finished game on the send question, with a recognisable frozen picture.
void OpenSendQuestion(Harness& h, int32_t score) {
    h.Form().StartGame();
    CurrentGame->Score = score;
    h.Form().EndGameMouse();
    h.Form().SavedScreen->Fill(FrozenColour);
    HiScoreNameEdit->SetText("ACE");
    ScreenState = ScreenSendQuestion;
    h.Step();
}

// A finished game whose result enters the table, on the name entry with an empty name.
void OpenNameEntryAfterAGame(Harness& h, int32_t score) {
    h.Form().StartGame();
    CurrentGame->Score = score;
    CurrentGame->Lives = 0;
    ASSERT_TRUE(h.StepUntilScreen(ScreenNameEntry, 3000));
    HiScoreNameEdit->SetText("");
}

// Frames go on while the requests run on their own thread; this steps them (in real time, bounded)
// until the waiting notice has gone.
void WaitWhileSending(Harness& h) {
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (ScreenState == ScreenPleaseWait && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        h.Step();
    }
}

void AnswerYes(Harness& h) {
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    WaitWhileSending(h);
}

struct NoticeAtRequest {
    int32_t screen = -1;
    bool presented = false;
    uint32_t outsidePanel = 0;
    std::vector<uint32_t> picture;
};

std::vector<uint32_t> PictureOf(const Surface& surface) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            pixels.push_back(surface.Pixel(x, y));
    return pixels;
}

// What the window was last sent.
std::vector<uint32_t> ShownPicture(const Display& display) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            pixels.push_back(display.ShownPixel(x, y));
    return pixels;
}

// While the version request is held by the server, frames go on showing the waiting notice over the
// frozen picture; once both are answered the table opens and says the result was sent.
TEST(OnlineSendFlow, TheWaitingNoticeShowsWhileTheRequestsRun) {
    Harness h;
    ASSERT_TRUE(h.Started());
    OpenSendQuestion(h, 777);
    LoopbackListener listener({{200, "a|b|c|d|TOKEN|f", ""}});
    ScopedScoreServer server(listener.Port());
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    listener.OnRequest = [released](const SeenRequest& request) {
        if (request.Target == VersionTarget) released.wait_for(std::chrono::seconds(5));
    };
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    for (int frame = 0; frame < 20; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        h.Step();
    }
    EXPECT_EQ(ScreenState, ScreenPleaseWait);
    EXPECT_EQ(h.Pixel(OutsidePanelX, OutsidePanelY), FrozenColour);
    EXPECT_TRUE(ShownPicture(h.Form().display) == PictureOf(*h.Form().BackBuffer)) << "and it is presented";
    release.set_value();
    WaitWhileSending(h);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_EQ(CurrentNotice(), ResultSentNotice);
    const std::vector<SeenRequest> requests = listener.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(DecodedResultOf(requests[1]).starts_with("type=0|name=ACE|score=777|"))
        << DecodedResultOf(requests[1]);
}

// A server that takes the connection and never answers: Escape leaves the notice at once, and the
// player is told the result was not sent; left alone, the time-out brings the retry question.
TEST(OnlineSendFlow, ASilentServerCanBeLeftAndTimesOutIntoTheRetryQuestion) {
    for (const bool leave : {true, false}) {
        SCOPED_TRACE(leave ? "Escape" : "waiting");
        Harness h;
        ASSERT_TRUE(h.Started());
        OpenSendQuestion(h, 500);
        LoopbackListener listener({}, /*silent=*/true);
        ScopedScoreServer server(listener.Port(), /*requestTimeoutMs=*/leave ? 3000 : 400);
        h.PressKey(SDLK_LEFT);
        h.PressKey(SDLK_RETURN);
        h.Step(3);
        ASSERT_EQ(ScreenState, ScreenPleaseWait);
        if (leave) {
            const auto pressed = Clock::now();
            h.PressKey(SDLK_ESCAPE);
            EXPECT_LT(Clock::now() - pressed, std::chrono::milliseconds(500));
            EXPECT_EQ(ScreenState, ScreenHiScores);
            EXPECT_EQ(CurrentNotice(), ResultNotSentNotice);
            h.Step();
            EXPECT_EQ(ScreenState, ScreenHiScores);
        } else {
            WaitWhileSending(h);
            EXPECT_EQ(ScreenState, ScreenRetryQuestion);
        }
    }
}

// "No" sends nothing: the waiting notice is drawn and presented for one frame, then the table follows.
TEST(OnlineSendFlow, NoShowsTheWaitingNoticeForOneFrameOnTheWayToTheTable) {
    Harness h;
    ASSERT_TRUE(h.Started());
    OpenSendQuestion(h, 500);
    const std::unique_ptr<Surface> notice = Surface::Create(ScreenWidth, ScreenHeight);
    DrawShellScreen(Canvas{*notice, *h.Form().SavedScreen}, ScreenPleaseWait, 0);
    h.PressKey(SDLK_RIGHT);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_TRUE(ShownPicture(h.Form().display) == PictureOf(*notice)) << "the notice was presented";
    h.Step(3);
    EXPECT_NE(h.Pixel(OutsidePanelX, OutsidePanelY), FrozenColour) << "then the table is drawn";
    EXPECT_EQ(ScreenState, ScreenHiScores);
}

TEST(OnlineSendFlow, ARefusedSendShowsTheRetryQuestionOverTheFrozenPicture) {
    Harness h;
    ASSERT_TRUE(h.Started());
    OpenSendQuestion(h, 500);
    ScopedScoreServer closed(ClosedPort());
    AnswerYes(h);
    EXPECT_EQ(ScreenState, ScreenRetryQuestion);
    h.Step(3);
    EXPECT_EQ(h.Pixel(OutsidePanelX, OutsidePanelY), FrozenColour);
    EXPECT_EQ(h.Form().SavedScreen->Pixel(OutsidePanelX, OutsidePanelY), FrozenColour);

    AnswerYes(h); // still nobody there: the question stays, over the same picture
    EXPECT_EQ(ScreenState, ScreenRetryQuestion);
    h.Step();
    EXPECT_EQ(h.Pixel(OutsidePanelX, OutsidePanelY), FrozenColour);

    LoopbackListener listener({{200, "a|b|c|d|TOKEN|f", ""}});
    ScopedScoreServer reachable(listener.Port());
    AnswerYes(h); // the retry repeats both requests
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_EQ(listener.Requests().size(), 2u);
}

TEST(OnlineSendFlow, OnTheRetryQuestionNAndEscapeGoToTheMenuWhileNoGoesToTheTable) {
    struct Case {
        std::vector<SDL_Keycode> keys;
        int32_t screen;
    };
    const Case cases[] = {
        {{SDLK_n}, ScreenMainMenu},
        {{SDLK_ESCAPE}, ScreenMainMenu},
        {{SDLK_RIGHT, SDLK_RETURN}, ScreenHiScores},
    };
    for (const Case& c : cases) {
        Harness h;
        ASSERT_TRUE(h.Started());
        OpenSendQuestion(h, 500);
        ScopedScoreServer closed(ClosedPort());
        AnswerYes(h);
        ASSERT_EQ(ScreenState, ScreenRetryQuestion);
        for (const SDL_Keycode key : c.keys)
            h.PressKey(key);
        EXPECT_EQ(ScreenState, c.screen) << "first key " << c.keys.front();
    }
}

// ---------------------------------------------------------------------------------------------------
// The real score server on loopback

fs::path ScoreServerProgram() {
    return fs::path(VANTORIX_EXECUTABLE).parent_path() / "tools/scoreserver/vantorix-scoreserver";
}

// The built score server as a child process on a free loopback port with a database of its own.
class ScoreServerProcess {
  public:
    explicit ScoreServerProcess(const fs::path& folder, const std::vector<std::string>& options = {})
        : log(folder / "server.log") {
        const std::string program = ScoreServerProgram().string();
        const std::string database = (folder / "scores.db").string();
        std::vector<std::string> args = {program, "--port", "0", "--bind", "127.0.0.1", "--db", database};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        if (pid > 0) WaitFor([&] { return (port = ListeningPort()) > 0 || Exited(); });
    }
    ~ScoreServerProcess() {
        if (pid <= 0 || Exited()) return;
        ::kill(pid, SIGTERM);
        if (!WaitFor([&] { return Exited(); }, std::chrono::seconds(5))) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    int Port() const { return port; }
    std::string Log() const { return ReadFile(log); }

  private:
    int ListeningPort() const {
        const std::string text = ReadFile(log);
        const std::string marker = "listening on http://127.0.0.1:";
        const size_t at = text.find(marker);
        return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + marker.size());
    }
    bool Exited() {
        if (exited) return true;
        exited = ::waitpid(pid, nullptr, WNOHANG) == pid;
        return exited;
    }

    fs::path log;
    pid_t pid = 0;
    int port = 0;
    bool exited = false;
};

TEST(OnlineScoreServer, ASentResultAppearsInTheOnlineTable) {
    ASSERT_TRUE(fs::exists(ScoreServerProgram())) << "build the score server first: " << ScoreServerProgram();
    ScopedTempFolder folder("server");
    ScoreServerProcess serverProcess(folder.path);
    ASSERT_GT(serverProcess.Port(), 0) << serverProcess.Log();

    Harness h;
    ASSERT_TRUE(h.Started());
    Options.Country = "NORWAY";
    OpenSendQuestion(h, 4321);
    ScopedScoreServer server(serverProcess.Port());
    AnswerYes(h);
    EXPECT_EQ(ScreenState, ScreenHiScores);

    HttpClient client;
    client.SetTimeouts(2000, 5000);
    const HttpReply table = client.Get(ScoreServer.BaseAddress + TableTarget);
    ASSERT_TRUE(table.Ok) << table.Error;
    EXPECT_NE(table.Body.find("ACE"), std::string::npos) << table.Body;
    EXPECT_NE(table.Body.find("4321"), std::string::npos) << table.Body;
    EXPECT_NE(table.Body.find("NORWAY"), std::string::npos) << table.Body;
    // The server counts the results it took in a summary line written within a second or so.
    bool counted = false;
    for (int i = 0; i < 300 && !counted; ++i) {
        counted = serverProcess.Log().find("result 1") != std::string::npos;
        if (!counted) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(counted) << serverProcess.Log();
}

// The game's upload reaches the real server: the result waits there for its check.
TEST(OnlineScoreServer, ASentReplayIsTakenForItsCheck) {
    ScopedTempFolder folder("server-replay");
    ScoreServerProcess serverProcess(folder.path);
    ASSERT_GT(serverProcess.Port(), 0) << serverProcess.Log();
    ScopedScoreServer server(serverProcess.Port());
    std::vector<uint8_t> replay = SomeReplay();
    const std::string_view magic = "VTXREPLY";
    std::copy(magic.begin(), magic.end(), replay.begin());
    EXPECT_EQ(SendAndWait("ACE", 4321, replay), ScoreSendState::Sent);
    EXPECT_EQ(SendAndWait("BEE", 5, {1, 2, 3}), ScoreSendState::ReplayNotSent) << "not a replay: refused";
    HttpClient client;
    client.SetTimeouts(2000, 5000);
    const HttpReply table = client.Get(ScoreServer.BaseAddress + TableTarget);
    ASSERT_TRUE(table.Ok) << table.Error;
    EXPECT_NE(table.Body.find("being checked"), std::string::npos) << table.Body;
}

// ---------------------------------------------------------------------------------------------------
// Verified scores: a game flown through the shell, sent with its replay, re-played by the server with
// this build's own `vantorix --verify` in the verifier's sandbox

// The server's table once nothing on it is being checked (a minute at most: the checks of a sanitizer
// build take their time).
std::string SettledTable(HttpClient& client) {
    std::string page;
    WaitFor(
        [&] {
            const HttpReply table = client.Get(ScoreServer.BaseAddress + TableTarget);
            page = table.Body;
            return table.Ok && page.find("being checked") == std::string::npos;
        },
        std::chrono::seconds(60));
    return page;
}

std::string RowOf(const std::string& page, const std::string& name) {
    const size_t cell = page.find("<td>" + name + "</td>");
    if (cell == std::string::npos) return "";
    const size_t start = page.rfind("<tr>", cell);
    return page.substr(start, page.find("</tr>", cell) - start);
}

// A result sent by hand with the game's own requests (not through the shell), and its replay.
void SendByHand(const std::string& name, int32_t score, const std::vector<uint8_t>& replay) {
    std::string token;
    ASSERT_TRUE(SendScore(ScoreServer, "No", name, score, nullptr, &token));
    ASSERT_TRUE(SendReplay(ScoreServer, token, replay, nullptr));
}

class VerifiedOnline : public testing::Test {
  protected:
    void SetUp() override {
        // A sanitizer build of the verifier reserves more address space than any cap allows, and its
        // leak check cannot work under the sandbox's system-call filter.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        server = std::make_unique<ScoreServerProcess>(
            folder.path, std::vector<std::string>{"--verifier", VANTORIX_EXECUTABLE, "--verify-memory-mb",
                                                  "0", "--verify-workers", "2"});
        ASSERT_GT(server->Port(), 0) << server->Log();
        scoped = std::make_unique<ScopedScoreServer>(server->Port(), 10000);
        GoToMainMenu(h);
        for (THiScores& row : HiScoreTable)
            row.Score = 0; // so the game enters the table
        h.Form().StartGame();
        FlyAndGiveUp(h, 2200);
        ASSERT_EQ(ScreenState, ScreenNameEntry) << "a first game enters the empty table";
        HiScoreNameEdit->SetText("ACE");
        h.PressKey(SDLK_LEFT);
        h.PressKey(SDLK_RETURN);
        ASSERT_EQ(ScreenState, ScreenSendQuestion);
        score = HiScoreTable[0].Score;
        replay = FinishedGameReplayBytes();
        ASSERT_FALSE(replay.empty());
    }
    void TearDown() override { unsetenv("ASAN_OPTIONS"); }

    ScopedTempFolder folder{"verified"};
    std::unique_ptr<ScoreServerProcess> server;
    std::unique_ptr<ScopedScoreServer> scoped;
    Harness h;
    int32_t score = 0;
    std::vector<uint8_t> replay;
};

TEST_F(VerifiedOnline, AFlownGameIsVerifiedAndAForgedScoreIsRefused) {
    AnswerYes(h);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_EQ(CurrentNotice(), ResultSentNotice);
    // The same game under a higher score, and under another name: neither holds up.
    SendByHand("ACE", score + 1000, replay);
    SendByHand("THIEF", score, replay);
    HttpClient client;
    client.SetTimeouts(2000, 5000);
    const std::string page = SettledTable(client);
    const std::string row = RowOf(page, "ACE");
    EXPECT_NE(row.find("<td class=\"score\">" + std::to_string(score) + "</td>"), std::string::npos) << page;
    EXPECT_NE(row.find("verified"), std::string::npos) << page << server->Log();
    EXPECT_EQ(page.find(std::to_string(score + 1000)), std::string::npos) << "the forged score is not shown";
    EXPECT_EQ(RowOf(page, "THIEF"), "") << page;
    // Its replay can be fetched back from the table's link, byte for byte.
    const size_t link = row.find("href=\"/replays/");
    ASSERT_NE(link, std::string::npos);
    const HttpReply fetched =
        client.Get(ScoreServer.BaseAddress + row.substr(link + 6, row.find('"', link + 6) - link - 6));
    ASSERT_TRUE(fetched.Ok) << fetched.Error;
    EXPECT_EQ(fetched.Body, std::string(replay.begin(), replay.end()));
}

// Where the fields of a replay file lie (docs/REPLAYS.md), for mutating it.
struct ReplayLayout {
    size_t rulesVersion = 10;
    size_t frameCount = 0;
    size_t rawSize = 0;
    size_t compressed = 0; // where the frames' compressed bytes begin
    explicit ReplayLayout(const std::vector<uint8_t>& file) {
        size_t at = rulesVersion + 4 + 8;             // rules version, rules hash
        at += 1 + file[at] + 4;                       // game version, start seed
        at += 2 + (file[at] | file[at + 1] << 8) + 4; // start ticket, options
        at += 1 + file[at] + 4 + 4;                   // name, score, stage
        frameCount = at;
        at += 4 + 8;
        uint32_t hashes = 0;
        std::memcpy(&hashes, &file[at], 4);
        rawSize = at + 4 + 8 * size_t{hashes};
        compressed = rawSize + 8;
    }
};

void PutNumber(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    std::memcpy(&file[at], &value, 4);
}

// Mutated replays of a real game, each handed to this build's verifier in the server's sandbox with
// tight limits: every check ends by itself within them, and none is verified unless the mutation
// left the game as it was (its final hash and score unchanged).
TEST_F(VerifiedOnline, MutatedReplaysNeverPassTheVerifierNorExceedItsLimits) {
    const ReplayLayout layout(replay);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> mutants;
    std::mt19937 random(24);
    for (int i = 0; i < 8; ++i) {
        const size_t cut = std::uniform_int_distribution<size_t>(0, replay.size() - 1)(random);
        mutants.emplace_back("cut at " + std::to_string(cut),
                             std::vector<uint8_t>(replay.begin(), replay.begin() + cut));
    }
    for (int i = 0; i < 16; ++i) {
        std::vector<uint8_t> flipped = replay;
        const size_t at = std::uniform_int_distribution<size_t>(0, replay.size() - 1)(random);
        flipped[at] ^= static_cast<uint8_t>(1 << (i % 8));
        mutants.emplace_back("bit flipped at " + std::to_string(at), flipped);
    }
    for (const uint32_t frames : {1'800'000u, 1'800'001u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> huge = replay;
        PutNumber(huge, layout.frameCount, frames);
        mutants.emplace_back("frame count " + std::to_string(frames), huge);
    }
    {
        // Sixteen megabytes of zeros squeezed into a few kilobytes in place of the frames.
        std::vector<uint8_t> bomb(replay.begin(), replay.begin() + static_cast<long>(layout.compressed));
        const std::vector<uint8_t> zeros(16 << 20);
        uLongf packed = compressBound(zeros.size());
        std::vector<uint8_t> squeezed(packed);
        ASSERT_EQ(compress2(squeezed.data(), &packed, zeros.data(), zeros.size(), 9), Z_OK);
        bomb.insert(bomb.end(), squeezed.begin(), squeezed.begin() + static_cast<long>(packed));
        PutNumber(bomb, layout.compressed - 4, static_cast<uint32_t>(packed));
        mutants.emplace_back("compression bomb", bomb);
        PutNumber(bomb, layout.rawSize, 16u << 20);
        mutants.emplace_back("compression bomb claiming its size", bomb);
    }
    {
        std::vector<uint8_t> other = replay;
        other[layout.rulesVersion] ^= 0x08; // rules version 2 becomes 10
        mutants.emplace_back("another build", other);
    }

    scoreserver::SandboxLimits limits;
    limits.CpuSeconds = 20;
    limits.WallTime = std::chrono::seconds(60);
    limits.AddressSpaceBytes = 0;
    const std::span<const uint8_t> original(replay);
    const scoreserver::SandboxRun first =
        scoreserver::RunSandboxed({VANTORIX_EXECUTABLE, "--verify", "-"}, original, limits);
    const auto truth = scoreserver::ReadVerifierAnswer(first.Output).Answer;
    ASSERT_TRUE(truth && truth->Verdict == "verified") << first.Output;
    for (const auto& [what, bytes] : mutants) {
        const scoreserver::SandboxRun run =
            scoreserver::RunSandboxed({VANTORIX_EXECUTABLE, "--verify", "-"}, bytes, limits);
        EXPECT_TRUE(run.Started && !run.TimedOut && run.Signal == 0) << what << ": signal " << run.Signal;
        EXPECT_TRUE(run.ExitCode >= 0 && run.ExitCode <= 2) << what << ": " << run.ExitCode;
        const auto answer = scoreserver::ReadVerifierAnswer(run.Output).Answer;
        ASSERT_TRUE(answer) << what << ": " << run.Output;
        if (answer->Verdict == "verified") {
            EXPECT_TRUE(answer->FinalHash == truth->FinalHash && answer->Score == truth->Score)
                << what << " verified another game: " << run.Output;
        }
        if (what.starts_with("cut") || what.starts_with("frame") || what.starts_with("compression") ||
            what.starts_with("another")) {
            EXPECT_NE(answer->Verdict, "verified") << what;
        }
    }
}

// A replay named by its web address (the online table's link) is fetched into memory and watched; one
// that cannot be fetched is told in one line and the menu stays.
TEST(OnlineReplayLink, AReplayAtAWebAddressIsFetchedAndWatched) {
    Harness h;
    ASSERT_TRUE(h.Started());
    GoToMainMenu(h);
    h.Form().StartGame();
    FlyAndGiveUp(h, 2200);
    const std::vector<uint8_t> replay = FinishedGameReplayBytes();
    ASSERT_FALSE(replay.empty());
    LoopbackListener listener({{200, std::string(replay.begin(), replay.end()), ""}, {404, "no\n", ""}});
    const std::string address =
        "http://127.0.0.1:" + std::to_string(listener.Port()) + "/replays/7.vtxreplay";
    ScreenState = ScreenMainMenu;
    h.Form().WatchReplayAtStart(address);
    EXPECT_EQ(ScreenState, ScreenReplay);
    h.PressKey(SDLK_ESCAPE);
    ASSERT_EQ(ScreenState, ScreenMainMenu);
    h.Form().WatchReplayAtStart(address); // answered 404 now
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    EXPECT_EQ(CurrentNotice(), ReplayNotFetchedNotice);
    ASSERT_EQ(listener.Requests().size(), 2u);
    EXPECT_EQ(listener.Requests()[0].Target, "/replays/7.vtxreplay");
}

// ---------------------------------------------------------------------------------------------------
// The browser hand-over through a stand-in opener

// Child processes of this test program, with their state letter ('Z' for an unreaped one).
std::vector<std::pair<pid_t, char>> ChildProcesses() {
    std::vector<std::pair<pid_t, char>> children;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const std::string stat = ReadFile(entry.path() / "stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == ::getpid())
            children.emplace_back(std::stoi(entry.path().filename().string()), state);
    }
    return children;
}

// A stand-in "xdg-open" first on PATH that appends its argument count and each argument to a file.
class StandInOpener {
  public:
    StandInOpener()
        : folder("opener"), record(folder.path / "record.txt"),
          savedPath(getenv("PATH") ? getenv("PATH") : "") {
        const fs::path script = folder.path / "xdg-open";
        // One write per opener, so two openers ending together cannot interleave their lines.
        WriteFile(script, "#!/bin/sh\nrecord=\"$#\"\nfor a in \"$@\"; do record=\"$record\n[$a]\"; done\n"
                          "printf '%s\\n' \"$record\" >> '" +
                              record.string() + "'\n");
        fs::permissions(script, fs::perms::owner_all);
        setenv("PATH", (folder.path.string() + ":" + savedPath).c_str(), 1);
    }
    ~StandInOpener() { setenv("PATH", savedPath.c_str(), 1); }

    // Waits until every opener has finished and been reaped, then returns what they recorded.
    std::string RecordAfterOpenersEnd() const {
        EXPECT_TRUE(WaitFor([] { return ChildProcesses().empty(); }))
            << "an opener was left running or unreaped";
        return ReadFile(record);
    }

    ScopedTempFolder folder;
    fs::path record;

  private:
    std::string savedPath;
};

TEST(OnlineLinks, AWebAddressReachesTheOpenerAsOneArgumentAndNothingElseDoes) {
    ASSERT_TRUE(ChildProcesses().empty());
    StandInOpener opener;
    const std::string refused[] = {
        "file:///etc/passwd",
        "/usr/bin/xterm",
        "javascript:alert(1)",
        "ftp://example.test/",
        "http://",
        "http:///etc",
        "http://a\nb",
        "",
    };
    for (const std::string& address : refused)
        OpenLink(address);
    const std::string awkward =
        "http://127.0.0.1:8080/cgi/version.pl?prg=Vantorix&show&type=0 ;echo $(id) `id` 'q\"";
    OpenLink(awkward);
    OpenLink("HTTPS://127.0.0.1/");
    const std::string record = opener.RecordAfterOpenersEnd();
    // The two launches may finish in either order.
    EXPECT_NE(record.find("1\n[" + awkward + "]\n"), std::string::npos) << record;
    EXPECT_NE(record.find("1\n[HTTPS://127.0.0.1/]\n"), std::string::npos) << record;
    EXPECT_EQ(record.size(), ("1\n[" + awkward + "]\n1\n[HTTPS://127.0.0.1/]\n").size()) << record;
}

TEST(OnlineLinks, AMissingOpenerIsNotReported) {
    ScopedTempFolder empty("no-opener");
    const std::string savedPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", empty.path.c_str(), 1);
    testing::internal::CaptureStderr();
    const bool launched = LaunchOpener("http://127.0.0.1/");
    OpenLink("http://127.0.0.1/");
    const std::string said = testing::internal::GetCapturedStderr();
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_FALSE(launched);
    EXPECT_EQ(said, "");
    EXPECT_TRUE(WaitFor([] { return ChildProcesses().empty(); }));
}

TEST(OnlineLinks, AnOpenerThatCannotStartOrGivesUpIsReportedOnce) {
    struct Case {
        const char* what;
        const char* script; // empty: no opener on PATH at all
        bool fails;
    };
    const Case cases[] = {
        {"no opener", "", true},
        {"no browser found", "#!/bin/sh\nexit 3\n", true},
        {"killed", "#!/bin/sh\nkill -9 $$\n", true},
        {"browser started", "#!/bin/sh\nexit 0\n", false},
    };
    const std::string savedPath = getenv("PATH") ? getenv("PATH") : "";
    while (LinkOpenFailed()) {
    } // what earlier tests left
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedTempFolder folder("opener-verdict");
        if (*c.script) {
            WriteFile(folder.path / "xdg-open", c.script);
            fs::permissions(folder.path / "xdg-open", fs::perms::owner_all);
        }
        setenv("PATH", (folder.path.string() + (*c.script ? ":" + savedPath : "")).c_str(), 1);
        EXPECT_EQ(OpenLink("http://127.0.0.1/"), *c.script != 0);
        setenv("PATH", savedPath.c_str(), 1);
        EXPECT_TRUE(WaitFor([] { return ChildProcesses().empty(); }));
        if (c.fails) {
            EXPECT_TRUE(WaitFor([] { return LinkOpenFailed(); }));
        }
        EXPECT_FALSE(LinkOpenFailed()) << "told once only";
    }
    EXPECT_FALSE(OpenLink("file:///etc/passwd"));
    EXPECT_FALSE(LinkOpenFailed()) << "a refused address is no failure of the browser";
}

TEST(OnlineLinks, TheShortcutAddressIsTheUrlLineOfItsSection) {
    ScopedTempFolder folder("shortcut");
    struct Case {
        std::string file;
        std::string address;
    };
    const Case cases[] = {
        {"[InternetShortcut]\r\nURL=http://127.0.0.1/play\r\n", "http://127.0.0.1/play"},
        {"[Other]\nURL=http://127.0.0.1/wrong\n[internetshortcut]\nIconIndex=0\nurl = https://127.0.0.1/b \n",
         "https://127.0.0.1/b"},
        {"[InternetShortcut]\nURL=http://127.0.0.1/first\n[Next]\nURL=http://127.0.0.1/second\n",
         "http://127.0.0.1/first"},
        {"URL=http://127.0.0.1/outside\n", ""},
        {"[InternetShortcut]\nIconFile=x\n", ""},
        {"", ""},
        {"[InternetShortcut]\nURL=" + std::string(70000, 'a') + "\n", ""}, // not a shortcut: too large
    };
    const fs::path path = folder.path / "play.url";
    for (const Case& c : cases) {
        WriteFile(path, c.file);
        EXPECT_EQ(ReadShortcutAddress(path.string()), c.address) << c.file.substr(0, 80);
    }
    EXPECT_EQ(ReadShortcutAddress((folder.path / "missing.url").string()), "");
}

TEST(OnlineLinks, PlayUrlOpensOnlyAWebAddress) {
    StandInOpener opener;
    const fs::path previous = fs::current_path();
    fs::current_path(opener.folder.path);
    OpenPlayUrl(); // no play.url: nothing
    WriteFile("play.url", "[InternetShortcut]\r\nURL=file:///bin/sh\r\n");
    OpenPlayUrl();
    WriteFile("play.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/play\r\n");
    OpenPlayUrl();
    fs::current_path(previous);
    EXPECT_EQ(opener.RecordAfterOpenersEnd(), "1\n[http://127.0.0.1/play]\n");
}

// ---------------------------------------------------------------------------------------------------
// The pad alone, from a new result to the online table

// With nothing but a pad: the name picked letter by letter, the result sent (the first try refused,
// answered Yes on the retry question), the clear question answered Cancel, the online table opened,
// and the exit question answered No.
TEST(OnlinePad, APadAloneSendsTheResultAndOpensTheOnlineTable) {
    Harness h;
    ASSERT_TRUE(h.Started());
    ASSERT_TRUE(AttachVirtualGamepad());
    h.Step();
    auto press = [&](PadButton button) {
        SetVirtualPadButton(button, true);
        h.Step();
        SetVirtualPadButton(button, false);
        h.Step();
    };
    OpenNameEntryAfterAGame(h, 4242);
    for (const PadButton button : {PadButton::Up, PadButton::Right, PadButton::Up, PadButton::Up})
        press(button);
    EXPECT_EQ(HiScoreNameEdit->Text, "Ac");
    press(PadButton::LeftShoulder); // Ok
    press(PadButton::A);
    ASSERT_EQ(ScreenState, ScreenSendQuestion);

    LoopbackListener listener({{200, "a|b|c|d|TOKEN|f", ""}});
    {
        ScopedScoreServer refused(ClosedPort());
        press(PadButton::LeftShoulder); // Yes
        press(PadButton::A);
        WaitWhileSending(h);
        ASSERT_EQ(ScreenState, ScreenRetryQuestion);
    }
    ScopedScoreServer server(listener.Port());
    press(PadButton::LeftShoulder);
    press(PadButton::A);
    WaitWhileSending(h);
    ASSERT_EQ(ScreenState, ScreenHiScores);
    ASSERT_EQ(listener.Requests().size(), 3u) << "the version, the result and the game's replay";
    EXPECT_TRUE(DecodedResultOf(listener.Requests()[1]).starts_with("type=0|name=Ac|score=4242|"));
    EXPECT_EQ(listener.Requests()[2].Target, "/cgi/version.pl?replay&prg=Vantorix&p=TOKEN");

    for (int i = 0; i < 3 && HiScoreButtons->ItemIndex != ItemClearTable; ++i)
        press(PadButton::Up);
    press(PadButton::A);
    ASSERT_EQ(ScreenState, ScreenClearQuestion);
    press(PadButton::RightShoulder); // Cancel
    press(PadButton::A);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_EQ(HiScoreTable[0].Name, "Ac");

    StandInOpener opener;
    press(PadButton::Down); // the online table
    press(PadButton::A);
    EXPECT_NE(opener.RecordAfterOpenersEnd().find(TableTarget), std::string::npos);

    press(PadButton::B);
    ASSERT_EQ(ScreenState, ScreenMainMenu);
    press(PadButton::Back);
    ASSERT_EQ(ScreenState, ScreenExitQuestion);
    press(PadButton::RightShoulder); // No
    press(PadButton::A);
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    EXPECT_FALSE(h.Form().Closed());
    DetachVirtualGamepad();
}

} // namespace

TEST(ScoreServerHost, VariableTakesHostAndPortOnly) {
    struct Case {
        const char* value;
        const char* address; // empty: refused
    };
    const Case cases[] = {
        {"scores.example.org", "http://scores.example.org"},
        {"127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"[::1]:9000", "http://[::1]:9000"},
        {"[::1]", "http://[::1]"},
        {"my-host_1", "http://my-host_1"},
        {"host:0", ""},
        {"host:65536", ""},
        {"host:", ""},
        {"host:80x", ""},
        {"http://host", ""},
        {"host/path", ""},
        {"host name", ""},
        {"::1", ""},
        {"", ""},
        {":80", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScoreServerAddressFor(c.value), c.address) << c.value;
}

TEST(ScoreServerHost, EnvironmentReplacesTheBuiltInAddressOrSaysWhyNot) {
    const std::string builtIn = ScoreServer.BaseAddress;
    setenv(ServerVariable, "bad host", 1);
    testing::internal::CaptureStderr();
    UseScoreServerFromEnvironment();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ScoreServer.BaseAddress, builtIn);
    EXPECT_NE(said.find("VANTORIX_SERVER=bad host"), std::string::npos) << said;

    setenv(ServerVariable, "127.0.0.1:4711", 1);
    UseScoreServerFromEnvironment();
    EXPECT_EQ(ScoreServer.BaseAddress, "http://127.0.0.1:4711");
    unsetenv(ServerVariable);
    ScoreServer.BaseAddress = builtIn;
}
