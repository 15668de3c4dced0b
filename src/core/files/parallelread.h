#pragma once

#include <functional>

// Runs a read over count items on worker threads and hands each result back
// on the calling thread, in the order of the items, as soon as it and all
// before it are done: the caller sees exactly the sequence a single-threaded
// loop gives.  With one thread the reads run on the calling thread itself.
//
// `read(i)` runs on a worker and may touch nothing but item i (and what no
// thread changes); `handOver(i, ok)` and `idle()` run on the calling thread.
// `cancelled()` is asked before each read starts, from any thread: once it
// is true no further read starts and the results not yet handed over are
// dropped.  A read that throws counts as failed; when handOver or idle
// throws, the workers stop and the exception leaves run.  `idle()` is
// called at least every 25 ms while the calling thread waits, so that it can
// keep a user interface alive.  Returns the number of results handed over.
struct TParallelRead {
    int threads = 2;
    std::function<bool(int index)> read;
    std::function<void(int index, bool ok)> handOver;
    std::function<bool()> cancelled;
    std::function<void()> idle;

    int run(int count) const;

    // How far the workers read ahead of the hand-over, at most: enough to
    // keep them busy while the calling thread catches up, few enough that a
    // cancel stops the work soon and results do not pile up.
    static int ReadAhead(int threads);

private:
    int runHere(int count) const;
    bool readOne(int index) const;
};
