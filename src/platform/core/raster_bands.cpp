// The drawing worker: one thread that shares the rows of large draws with the caller, a few rows at a
// time. It spins for a short while after each draw, since draws come close together within a frame,
// then sleeps until the next one.
#include "platform/core/raster_bands.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {
namespace {

void relax() {
#if defined(__SSE2__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// How long the worker looks for the next band before it sleeps, and the caller for the worker's band
// before it yields its time slice, in relax() steps (tens of microseconds).
constexpr int worker_spins = 2000;
constexpr int caller_spins = 4000;

class band_worker {
  public:
    band_worker() : owner_(::getpid()), thread_([this] { serve(); }) {}
    ~band_worker() {
        {
            std::lock_guard lock(mutex_);
            stop_.store(true);
        }
        wake_.notify_one();
        thread_.join();
    }
    band_worker(const band_worker &) = delete;
    band_worker &operator=(const band_worker &) = delete;

    // False in a child process made by fork, where the worker thread does not exist.
    bool usable() const { return ::getpid() == owner_; }

    void draw(int first_row, int end_row, row_band band, void *context) {
        band_ = band;
        context_ = context;
        end_ = end_row;
        chunk_ = std::max(min_chunk_rows, (end_row - first_row) / 8);
        next_.store(first_row, std::memory_order_relaxed);
        state_.store(posted);
        if (sleeping_.load()) {
            std::lock_guard lock(mutex_);
            wake_.notify_one();
        }
        take_chunks();
        int expected = posted;
        if (state_.compare_exchange_strong(expected, idle)) return;  // the worker never joined in
        // The worker is on its last chunk at most.
        for (int spins = 0; state_.load(std::memory_order_acquire) != done; ++spins) {
            if (spins < caller_spins)
                relax();
            else
                std::this_thread::yield();
        }
        state_.store(idle, std::memory_order_relaxed);
    }

  private:
    enum : int { idle, posted, taken, done };
    static constexpr int min_chunk_rows = 4;

    // Draws chunks of rows until none is left; both threads take them from the same counter.
    void take_chunks() {
        for (;;) {
            const int first = next_.fetch_add(chunk_, std::memory_order_relaxed);
            if (first >= end_) return;
            band_(context_, first, std::min(first + chunk_, end_));
        }
    }

    void serve() {
        for (;;) {
            int spins = 0;
            while (state_.load(std::memory_order_acquire) != posted &&
                   !stop_.load(std::memory_order_relaxed)) {
                if (++spins < worker_spins) {
                    relax();
                    continue;
                }
                std::unique_lock lock(mutex_);
                sleeping_.store(true);
                wake_.wait(lock, [this] { return state_.load() == posted || stop_.load(); });
                sleeping_.store(false);
                spins = 0;
            }
            if (stop_.load()) return;
            int expected = posted;
            if (!state_.compare_exchange_strong(expected, taken)) continue;  // the caller finished alone
            take_chunks();
            state_.store(done, std::memory_order_release);
        }
    }

    const pid_t owner_;
    std::atomic<int> state_{idle};
    std::atomic<bool> sleeping_{false};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    // The draw on offer: written before it is posted, read by the worker once it has taken it.
    row_band band_ = nullptr;
    void *context_ = nullptr;
    int end_ = 0, chunk_ = 0;
    std::atomic<int> next_{0};  // the first row not yet handed out
    std::thread thread_;        // last, so it starts once everything above is ready
};

// A second drawing thread pays only where it does not take a core from the game thread, the audio
// device's thread or the system: measured on two cores under load it made frames slower, not faster.
std::atomic<int> allowed_threads{std::thread::hardware_concurrency() >= 4 ? 2 : 1};

band_worker &worker() {
    static band_worker w;
    return w;
}

}  // namespace

void draw_rows(int first_row, int end_row, std::int64_t pixels, row_band band, void *context) {
    if (end_row - first_row < 2 || pixels < min_shared_pixels || allowed_threads.load() < 2) {
        band(context, first_row, end_row);
        return;
    }
    band_worker &w = worker();
    if (!w.usable()) {
        band(context, first_row, end_row);
        return;
    }
    w.draw(first_row, end_row, band, context);
}

void set_raster_threads(int threads) { allowed_threads.store(threads >= 2 ? 2 : 1); }
int raster_threads() { return allowed_threads.load(); }

}  // namespace platform
