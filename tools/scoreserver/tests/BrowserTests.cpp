// The table page and the home page as a visitor's browser shows them: Debian's headless Chromium,
// driven by browser-check.py, judges the layout, a hostile name, the verified mark, the replay link
// and the console.
#include <cstdio>

#include "ServerFixture.h"

namespace scoreserver {
namespace {

// A name that would make elements if it were not escaped (ten characters, the most a name has).
const std::string HostileName = "<i>&\"'</i>";

class InTheBrowser : public ScoreServerTest {
  protected:
    void SetUp() override {
        ScoreServerTest::SetUp();
        StopServer();
        ServerSettings settings = DefaultSettings();
        settings.Verify.Verifiers = {SCORESERVER_TESTS_DIR "/fake-verifier.sh"};
        settings.Verify.Poll = std::chrono::milliseconds(50);
        Start(settings);
        SendWithReplay("Ada", 900, "VTXREPLY verified 900 00000000000000aa Ada");
        ASSERT_EQ(Submit(HostileName, "500", "<script>"), 200);
        ASSERT_EQ(Submit("Old", "100", "No"), 200);
        for (int i = 0; i < 100 && Get(TableTarget).second.find("being checked") != std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    void SendWithReplay(const std::string& name, int score, const std::string& replay) {
        const std::string token = FetchToken();
        ASSERT_EQ(Get(ResultTarget +
                      EncodeLikeTheGame(ResultTextLikeTheGame(name, std::to_string(score), token, "No")))
                      .first,
                  200);
        const auto posted = client_->Post("/cgi/version.pl?replay&prg=Vantorix&p=" + token, replay,
                                          "application/octet-stream");
        ASSERT_TRUE(posted && posted->status == 202);
    }

    // The checker's report; its exit status in status.
    std::string Check(const std::string& target, const std::string& shot, int& status) {
        const std::string command = std::string("/usr/bin/python3 ") + SCORESERVER_TESTS_DIR +
                                    "/browser-check.py 'http://127.0.0.1:" + std::to_string(port_) + target +
                                    "' '" + (folder_.Path() / shot).string() + "' '" + "<i>&\"'\\''</i>" +
                                    "' Ada Old 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        std::string report;
        char buffer[512];
        while (pipe && fgets(buffer, sizeof buffer, pipe))
            report += buffer;
        status = pipe ? pclose(pipe) : -1;
        return report;
    }
};

TEST_F(InTheBrowser, TheTableAndTheHomePageShowWhatTheyShould) {
    for (const std::string& target : {TableTarget, std::string("/")}) {
        int status = -1;
        const std::string report = Check(target, target == "/" ? "home.png" : "table.png", status);
        EXPECT_EQ(status, 0) << target << ":\n" << report;
        EXPECT_NE(report.find("ok: nothing in the console"), std::string::npos) << report;
    }
}

} // namespace
} // namespace scoreserver
