// FIFOs where a file is expected, and a deadline for code that must not block on them.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

namespace testsupport {

// Makes a FIFO at the path, creating its parent folders; false when it cannot be made.
bool MakeFifo(const std::filesystem::path& path);

// Runs the call on its own thread and answers whether it ended within the deadline. A call that
// blocks on one of the FIFOs is released by opening their other ends, so a failing test ends
// instead of hanging.
bool FinishesWithin(const std::function<void()>& call, const std::vector<std::filesystem::path>& fifos,
                    int seconds = 3);

} // namespace testsupport
