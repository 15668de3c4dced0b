#include "files/parallelread.h"

#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

constexpr auto IdleInterval = std::chrono::milliseconds(50);

enum State : char { Pending = 0, Succeeded = 1, Failed = 2 };

// What the workers and the calling thread share for one run.
struct SharedRun {
    explicit SharedRun(int count) : states(new std::atomic<char>[size_t(count)]())
    {
    }
    std::unique_ptr<std::atomic<char>[]> states;
    std::atomic<int> next = 0;
    std::atomic<bool> stop = false;
    std::mutex mutex;
    std::condition_variable done;
};

} // namespace

int TParallelRead::run(int count) const
{
    if (count <= 0)
        return 0;
    if (threads <= 1)
        return runHere(count);

    SharedRun shared(count);
    const auto stopping = [&] { return shared.stop.load() || (cancelled && cancelled()); };
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    for (int t = 0; t < threads; ++t) {
        pool.start([&] {
            for (int i = shared.next++; i < count && !stopping(); i = shared.next++) {
                bool ok = false;
                try {
                    ok = read(i);
                } catch (...) {
                    // A read that throws counts as failed; the others go on.
                }
                {
                    const std::lock_guard lock(shared.mutex);
                    shared.states[size_t(i)].store(ok ? Succeeded : Failed);
                }
                shared.done.notify_one();
            }
        });
    }

    int handed = 0;
    while (handed < count) {
        std::unique_lock lock(shared.mutex);
        const bool ready = shared.done.wait_for(lock, IdleInterval,
                                                [&] { return shared.states[size_t(handed)].load() != Pending; });
        lock.unlock();
        if (ready) {
            handOver(handed, shared.states[size_t(handed)].load() == Succeeded);
            ++handed;
        } else if (idle) {
            idle();
        }
        if (stopping())
            break;
    }
    shared.stop = true;
    pool.waitForDone();
    return handed;
}

int TParallelRead::runHere(int count) const
{
    int handed = 0;
    while (handed < count && !(cancelled && cancelled())) {
        handOver(handed, read(handed));
        ++handed;
    }
    return handed;
}
