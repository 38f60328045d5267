#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace rdsim::atlas {

// Runs work(item) for every item on `jobs` threads that take the next item
// as they become free. The first exception a work call throws stops the
// handing out of items and is rethrown here once all threads are done.
// With `progress`, a line on stderr counts the items done, the rate and the
// time left. Once `cancel` is set, no further item is handed out.
void RunWorkQueue(const std::vector<std::size_t>& items, int jobs, const std::function<void(std::size_t)>& work,
                  bool progress, const std::atomic<bool>* cancel = nullptr);

// "12/36 points, 3.4 points/s, 7 s left"
std::string ProgressText(std::size_t done, std::size_t total, double seconds);

}  // namespace rdsim::atlas
