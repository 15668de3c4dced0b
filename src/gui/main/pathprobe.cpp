#include "gui/main/pathprobe.h"

#include "core/base/localfiles.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

struct TProbe {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
};

} // namespace

bool PathAnswers(const QString &folder, int timeoutMs)
{
    auto probe = std::make_shared<TProbe>();
    std::thread([probe, folder] {
        LocalPathExists(folder);
        const std::lock_guard lock(probe->mutex);
        probe->done = true;
        probe->answered.notify_all();
    }).detach();
    std::unique_lock lock(probe->mutex);
    probe->answered.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return probe->done; });
    return probe->done;
}
