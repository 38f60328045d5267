#include "atlas/atlas_queue.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

namespace rdsim::atlas {

std::string ProgressText(std::size_t done, std::size_t total, double seconds) {
  std::string text = std::to_string(done) + "/" + std::to_string(total) + " points";
  if (done == 0 || seconds <= 0) return text;
  const double rate = static_cast<double>(done) / seconds;
  char tail[96];
  std::snprintf(tail, sizeof tail, ", %.3g points/s, %.0f s left", rate, static_cast<double>(total - done) / rate);
  return text + tail;
}

void RunWorkQueue(const std::vector<std::size_t>& items, int jobs, const std::function<void(std::size_t)>& work,
                  bool progress, const std::atomic<bool>* cancel) {
  std::atomic<std::size_t> next{0}, done{0};
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable finished;
  std::exception_ptr failure;
  const auto cancelled = [cancel] { return cancel && cancel->load(); };

  auto worker = [&] {
    for (;;) {
      const std::size_t k = next.fetch_add(1);
      if (k >= items.size() || stop || cancelled()) break;
      try {
        work(items[k]);
      } catch (...) {
        const std::lock_guard lock(mutex);
        if (!failure) failure = std::current_exception();
        stop = true;
      }
      done.fetch_add(1);
      finished.notify_one();
    }
  };
  const auto count = static_cast<std::size_t>(std::max(1, jobs));
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < std::min(count, std::max<std::size_t>(items.size(), 1)); ++t)
    threads.emplace_back(worker);

  if (progress) {
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex);
    for (;;) {
      const std::size_t now = done;
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      std::fprintf(stderr, "\r%s\033[K", ProgressText(now, items.size(), seconds).c_str());
      std::fflush(stderr);
      if (now >= items.size() || stop || cancelled()) break;
      finished.wait_for(lock, std::chrono::milliseconds(500));
    }
    std::fputc('\n', stderr);
  }
  for (std::thread& thread : threads) thread.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace rdsim::atlas
