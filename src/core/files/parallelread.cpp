#include "core/files/parallelread.h"

#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

constexpr auto IdleInterval = std::chrono::milliseconds(25);
// The calling thread sleeps until this many more results are in (or the
// idle interval has passed): waking it for every single file would cost
// more than handing the file over.
constexpr int HandOverBatch = 8;

enum State : char { Pending = 0, Succeeded = 1, Failed = 2 };

// What the workers and the calling thread share for one run.
struct SharedRun {
    explicit SharedRun(int count) : states(new std::atomic<char>[size_t(count)]())
    {
    }
    std::unique_ptr<std::atomic<char>[]> states;
    std::atomic<int> next = 0;
    std::atomic<bool> stop = false;
    std::atomic<int> handed = 0;
    int awaited = 0;  // the last item of the batch the calling thread waits for

    // Whether the batch is in: the next item to hand over and the last one.
    // Asked with the mutex held.
    bool batchDone() const
    {
        return states[size_t(handed.load())].load() != Pending && states[size_t(awaited)].load() != Pending;
    }
    std::mutex mutex;
    std::condition_variable done;
    std::condition_variable room;
};

// Stops the workers and wakes those waiting for room, however the calling
// thread leaves the run: a hand-over that throws must not leave the thread
// pool waiting for workers that wait for it.
class StopOnExit {
public:
    explicit StopOnExit(SharedRun &shared) : m_shared(shared) {}
    ~StopOnExit()
    {
        {
            const std::lock_guard lock(m_shared.mutex);
            m_shared.stop = true;
        }
        m_shared.room.notify_all();
    }
    StopOnExit(const StopOnExit &) = delete;
    StopOnExit &operator=(const StopOnExit &) = delete;

private:
    SharedRun &m_shared;
};

} // namespace

int TParallelRead::ReadAhead(int threads)
{
    return 8 * threads + HandOverBatch;
}

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
    // Declared after the pool, so it stops the workers before the pool's
    // end waits for them.
    const StopOnExit stopOnExit(shared);
    for (int t = 0; t < threads; ++t) {
        pool.start([&] {
            for (int i = shared.next++; i < count && !stopping(); i = shared.next++) {
                if (i >= shared.handed + ReadAhead(threads)) {
                    std::unique_lock lock(shared.mutex);
                    shared.room.wait(lock, [&] { return i < shared.handed + ReadAhead(threads) || shared.stop; });
                    if (shared.stop)
                        break;
                }
                if (stopping())
                    break;
                const bool ok = readOne(i);
                bool wake = false;
                {
                    const std::lock_guard lock(shared.mutex);
                    shared.states[size_t(i)].store(ok ? Succeeded : Failed);
                    wake = shared.batchDone();
                }
                if (wake)
                    shared.done.notify_one();
            }
        });
    }

    int handed = 0;
    const auto isDone = [&](int i) { return shared.states[size_t(i)].load() != Pending; };
    while (handed < count && !stopping()) {
        if (isDone(handed)) {
            handOver(handed, shared.states[size_t(handed)].load() == Succeeded);
            ++handed;
            {
                const std::lock_guard lock(shared.mutex);
                shared.handed = handed;
            }
            shared.room.notify_all();
            continue;
        }
        std::unique_lock lock(shared.mutex);
        shared.awaited = std::min(handed + HandOverBatch, count) - 1;
        const bool ready = shared.done.wait_for(lock, IdleInterval, [&] { return shared.batchDone(); });
        lock.unlock();
        if (!ready && !isDone(handed) && idle)
            idle();
    }
    return handed;
}

bool TParallelRead::readOne(int index) const
{
    try {
        return read(index);
    } catch (...) {
        // A read that throws counts as failed; the others go on.
        return false;
    }
}

int TParallelRead::runHere(int count) const
{
    int handed = 0;
    while (handed < count && !(cancelled && cancelled())) {
        handOver(handed, readOne(handed));
        ++handed;
    }
    return handed;
}
