// The backend worker: one thread, one backend, jobs in order, completions back to the pump.
#include "BackendWorker.h"

namespace platform::steam {

BackendWorker::BackendWorker(std::function<std::unique_ptr<IOnlineBackend>()> make)
    : m_make(std::move(make)), m_thread([this] { Run(); })
{
}

BackendWorker::~BackendWorker()
{
    {
        std::lock_guard guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void BackendWorker::Post(Work work, Done done)
{
    {
        std::lock_guard guard(m_mutex);
        m_jobs.push_back({std::move(work), std::move(done)});
    }
    m_wake.notify_one();
}

void BackendWorker::Poll()
{
    std::vector<Done> finished;
    {
        // The pump never waits for the worker: while the worker holds the lock, what it has
        // finished is taken at the next pump.
        std::unique_lock guard(m_mutex, std::try_to_lock);
        if (!guard.owns_lock())
            return;
        finished.swap(m_finished);
    }
    for (Done& done : finished)
        done();
}

size_t BackendWorker::Busy() const
{
    std::lock_guard guard(m_mutex);
    return m_jobs.size() + m_running;
}

void BackendWorker::Run()
{
    std::unique_ptr<IOnlineBackend> backend = m_make();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_running;
        lock.unlock();
        if (backend)
            job.work(*backend);
        lock.lock();
        --m_running;
        if (job.done && !m_stopping)
            m_finished.push_back(std::move(job.done));
    }
}

} // namespace platform::steam
