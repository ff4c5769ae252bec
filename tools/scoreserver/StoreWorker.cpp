#include "StoreWorker.h"

#include <algorithm>
#include <exception>

namespace scoreserver {
namespace {

int64_t SecondsSince1970() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

StoreWorker::StoreWorker(ScoreStore& store, ServerLog& log) : store_(store), log_(log) {
    storeLane_.Thread = std::thread([this] { Serve(storeLane_); });
}

StoreWorker::~StoreWorker() {
    Finish(std::chrono::hours(1));
    if (storeLane_.Thread.joinable()) storeLane_.Thread.join();
}

void StoreWorker::Add(Lane& lane, const std::function<void(Queue&)>& add) {
    std::lock_guard lock(mutex_);
    add(lane.Waiting);
    lane.Wake.notify_one();
}

void StoreWorker::StoreResult(SubmittedResult result, ResultDone done) {
    Add(storeLane_, [&](Queue& queue) { queue.Results.emplace_back(std::move(result), std::move(done)); });
}

void StoreWorker::ReadBest(std::size_t limit, BestDone done) {
    Add(storeLane_, [&](Queue& queue) { queue.Reads.emplace_back(limit, std::move(done)); });
}

void StoreWorker::Run(std::function<void(ScoreStore&)> task) {
    Add(storeLane_, [&](Queue& queue) { queue.Tasks.push_back(std::move(task)); });
}

bool StoreWorker::Finish(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    finishing_ = true;
    storeLane_.Wake.notify_one();
    return ended_.wait_for(lock, timeout, [this] { return storeLane_.Ended; });
}

void StoreWorker::Serve(Lane& lane) {
    for (;;) {
        Queue batch;
        {
            std::unique_lock lock(mutex_);
            lane.Wake.wait(lock, [&] { return finishing_ || !lane.Waiting.Empty(); });
            if (lane.Waiting.Empty()) break;
            std::swap(batch, lane.Waiting);
        }
        ServeResults(batch.Results);
        for (const auto& task : batch.Tasks)
            task(store_);
        ServeReads(batch.Reads);
    }
    std::lock_guard lock(mutex_);
    lane.Ended = true;
    ended_.notify_all();
}

void StoreWorker::ServeResults(std::vector<std::pair<SubmittedResult, ResultDone>>& waiting) {
    if (waiting.empty()) return;
    std::vector<SubmittedResult> results;
    for (auto& [result, done] : waiting)
        results.push_back(std::move(result));
    std::vector<bool> stored;
    try {
        stored = store_.StoreResults(results, SecondsSince1970());
    } catch (const std::exception& error) {
        log_.Fault(error.what());
    }
    for (std::size_t i = 0; i < waiting.size(); ++i)
        waiting[i].second(i < stored.size() ? std::optional<bool>(stored[i]) : std::nullopt);
}

void StoreWorker::ServeReads(std::vector<std::pair<std::size_t, BestDone>>& waiting) {
    if (waiting.empty()) return;
    std::size_t limit = 0;
    for (const auto& [wanted, done] : waiting)
        limit = std::max(limit, wanted);
    std::optional<std::vector<StoredResult>> best;
    try {
        best = store_.Best(limit);
    } catch (const std::exception& error) {
        log_.Fault(error.what());
    }
    for (auto& [wanted, done] : waiting) {
        if (!best) {
            done(std::nullopt);
            continue;
        }
        done(std::vector<StoredResult>(best->begin(), best->begin() + std::min(wanted, best->size())));
    }
}

} // namespace scoreserver
