#include "online/ScoreSending.h"

#include "online/WebScores.h"
#include "persistence/Options.h"

#include <atomic>
#include <thread>

namespace {

class Sender {
  public:
    ~Sender() { Finish(); }

    void Start(const std::string& name, int32_t score, std::vector<uint8_t> replay) {
        Finish();
        stop = false;
        state = ScoreSendState::Waiting;
        worker = std::thread(
            [this, server = ScoreServer, country = Options.Country, name, score, replay = std::move(replay)] {
                const ScoreSendState outcome = Send(server, country, name, score, replay);
                ScoreSendState expected = ScoreSendState::Waiting;
                state.compare_exchange_strong(expected, outcome);
            });
    }

    ScoreSendState Take() {
        ScoreSendState now = state.load();
        if (now != ScoreSendState::Idle && now != ScoreSendState::Waiting) state = ScoreSendState::Idle;
        return now;
    }

    void Stop() {
        stop = true;
        state = ScoreSendState::Idle; // whatever the requests still do is no longer told
    }

    void Finish() {
        Stop();
        if (worker.joinable()) worker.join();
    }

  private:
    ScoreSendState Send(const TScoreServer& server, const std::string& country, const std::string& name,
                        int32_t score, const std::vector<uint8_t>& replay) {
        std::string token;
        if (!SendScore(server, country, name, score, &stop, &token)) return ScoreSendState::NotSent;
        if (replay.empty()) return ScoreSendState::Sent;
        return SendReplay(server, token, replay, &stop) ? ScoreSendState::Sent
                                                        : ScoreSendState::ReplayNotSent;
    }

    std::thread worker;
    std::atomic<bool> stop{false};
    std::atomic<ScoreSendState> state{ScoreSendState::Idle};
};

Sender& TheSender() {
    static Sender sender;
    return sender;
}

} // namespace

void StartSendingScore(const std::string& name, int32_t score, std::vector<uint8_t> replay) {
    TheSender().Start(name, score, std::move(replay));
}

ScoreSendState TakeScoreSendState() {
    return TheSender().Take();
}

void StopSendingScore() {
    TheSender().Stop();
}

void FinishScoreSending() {
    TheSender().Finish();
}
