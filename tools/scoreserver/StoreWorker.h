// The thread that talks to the score store. Requests queue up while it is busy
// and are then served together: all waiting results in one transaction (one
// wait for the disk however many there are) and one read of the best results
// for every page that asked. Replies are handed to callbacks on that thread.
// Tokens need no store thread: the store signs them at once.
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
    using ResultDone = std::function<void(std::optional<bool> stored)>;
    using BestDone = std::function<void(std::optional<std::vector<StoredResult>> best)>;

    StoreWorker(ScoreStore& store, ServerLog& log);
    ~StoreWorker(); // serves what is queued, then ends
    StoreWorker(const StoreWorker&) = delete;
    StoreWorker& operator=(const StoreWorker&) = delete;

    void StoreResult(SubmittedResult result, ResultDone done);
    void ReadBest(std::size_t limit, BestDone done);
    // Any other use of the store, run on its thread after the waiting results; it catches its own faults.
    void Run(std::function<void(ScoreStore&)> task);

    // Asks the threads to end once the queues are served; true if they ended within timeout.
    bool Finish(std::chrono::milliseconds timeout);

  private:
    struct Queue {
        std::vector<std::pair<SubmittedResult, ResultDone>> Results;
        std::vector<std::pair<std::size_t, BestDone>> Reads;
        std::vector<std::function<void(ScoreStore&)>> Tasks;
        bool Empty() const { return Results.empty() && Reads.empty() && Tasks.empty(); }
    };
    // One thread and what waits for it.
    struct Lane {
        std::condition_variable Wake;
        Queue Waiting;
        bool Ended = false;
        std::thread Thread;
    };
    void Serve(Lane& lane);
    void Add(Lane& lane, const std::function<void(Queue&)>& add);
    void ServeResults(std::vector<std::pair<SubmittedResult, ResultDone>>& waiting);
    void ServeReads(std::vector<std::pair<std::size_t, BestDone>>& waiting);

    ScoreStore& store_;
    ServerLog& log_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool finishing_ = false;
    Lane storeLane_;
};

} // namespace scoreserver
