// Backend work off the frame loop. A worker thread with a backend of its own (its own Redis
// connection, its own view of the shared folder) runs the jobs it is given in order; what a job
// found comes back through its completion, which runs inside the client pump on the polling
// thread. A backend that hangs holds up the worker, never the frame.
#pragma once

#include "OnlineBackend.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::steam {

class BackendWorker {
public:
    using Work = std::function<void(IOnlineBackend&)>;
    using Done = std::function<void()>;
    // `make` runs on the worker thread, once, before the first job.
    explicit BackendWorker(std::function<std::unique_ptr<IOnlineBackend>()> make);
    // Runs the jobs still queued (a lobby's withdrawal must still happen) and drops their
    // completions.
    ~BackendWorker();
    BackendWorker(const BackendWorker&) = delete;
    BackendWorker& operator=(const BackendWorker&) = delete;

    void Post(Work work, Done done = {});
    // Runs the completions of the jobs finished so far, in order.
    void Poll();
    // Jobs queued or running.
    size_t Busy() const;

private:
    void Run();
    struct Job {
        Work work;
        Done done;
    };
    std::function<std::unique_ptr<IOnlineBackend>()> m_make;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::vector<Done> m_finished;
    size_t m_running = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace platform::steam
