#include "support/Fifo.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

bool MakeFifo(const std::filesystem::path& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool FinishesWithin(const std::function<void()>& call, const std::vector<std::filesystem::path>& fifos, int seconds)
{
    auto result = std::async(std::launch::async, call);
    if (result.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready) {
        result.get();
        return true;
    }
    // Keep releasing until the call ends: it may open the same FIFO more than once.
    while (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        for (const auto& fifo : fifos)
            for (int flags : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
                int fd = ::open(fifo.c_str(), flags);
                if (fd >= 0)
                    ::close(fd);
            }
    result.get();
    return false;
}

} // namespace testsupport
