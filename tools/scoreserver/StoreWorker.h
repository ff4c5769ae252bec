// The one thread that talks to the score store. Requests queue up while it is
// busy and are then served together: all waiting results in one transaction
// (one wait for the disk however many there are), all waiting tokens at once,
// one read of the best results for every page that asked. Replies are handed
// to callbacks on this thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ScoreStore.h"
#include "ServerLog.h"

namespace scoreserver {

class StoreWorker {
  public:
    // nothing: the store failed
    using TokenDone = std::function<void(std::optional<std::string> token)>;
    using ResultDone = std::function<void(std::optional<bool> stored)>;
    using BestDone = std::function<void(std::optional<std::vector<StoredResult>> best)>;

    StoreWorker(ScoreStore& store, ServerLog& log);
    ~StoreWorker(); // serves what is queued, then ends
    StoreWorker(const StoreWorker&) = delete;
    StoreWorker& operator=(const StoreWorker&) = delete;

    void IssueToken(TokenDone done);
    void StoreResult(SubmittedResult result, ResultDone done);
    void ReadBest(std::size_t limit, BestDone done);

    // Asks the thread to end once the queue is served; true if it ended within timeout.
    bool Finish(std::chrono::milliseconds timeout);

  private:
    struct Queue {
        std::vector<TokenDone> Tokens;
        std::vector<std::pair<SubmittedResult, ResultDone>> Results;
        std::vector<std::pair<std::size_t, BestDone>> Reads;
        bool Empty() const { return Tokens.empty() && Results.empty() && Reads.empty(); }
    };
    void Serve();
    void ServeTokens(std::vector<TokenDone>& waiting);
    void ServeResults(std::vector<std::pair<SubmittedResult, ResultDone>>& waiting);
    void ServeReads(std::vector<std::pair<std::size_t, BestDone>>& waiting);

    ScoreStore& store_;
    ServerLog& log_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable ended_;
    Queue queue_;
    bool finishing_ = false;
    bool finished_ = false;
    std::thread thread_;
};

} // namespace scoreserver
