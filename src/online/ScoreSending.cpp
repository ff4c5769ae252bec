#include "online/ScoreSending.h"

#include "online/WebScores.h"
#include "persistence/Options.h"

#include <atomic>
#include <thread>

namespace {

class Sender {
  public:
    ~Sender() { Finish(); }

    void Start(const std::string& name, int32_t score) {
        Finish();
        stop = false;
        state = ScoreSendState::Waiting;
        worker = std::thread([this, server = ScoreServer, country = Options.Country, name, score] {
            const bool sent = SendScore(server, country, name, score, &stop);
            ScoreSendState expected = ScoreSendState::Waiting;
            state.compare_exchange_strong(expected, sent ? ScoreSendState::Sent : ScoreSendState::NotSent);
        });
    }

    ScoreSendState Take() {
        ScoreSendState now = state.load();
        if (now == ScoreSendState::Sent || now == ScoreSendState::NotSent) state = ScoreSendState::Idle;
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
    std::thread worker;
    std::atomic<bool> stop{false};
    std::atomic<ScoreSendState> state{ScoreSendState::Idle};
};

Sender& TheSender() {
    static Sender sender;
    return sender;
}

} // namespace

void StartSendingScore(const std::string& name, int32_t score) {
    TheSender().Start(name, score);
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
