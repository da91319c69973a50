#include "inOrder.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

unsigned defaultJobs(std::size_t count) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::max<std::size_t>(1, std::min(cores, count)));
}

void runInOrder(std::size_t count, unsigned jobs, const std::function<Outcome(std::size_t)>& work,
                const std::function<void(const Outcome&)>& take) {
    std::vector<std::optional<Outcome>> done(count);
    std::mutex lock;
    std::condition_variable finished;
    std::atomic<std::size_t> next{0};
    std::size_t awaited = 0; // the outcome the calling thread waits for; under `lock`

    // Files are handed out in runs, so that the threads meet once a run,
    // not once a file.
    const std::size_t run = std::clamp<std::size_t>(count / (std::max(1u, jobs) * 16), 1, 64);
    auto worker = [&] {
        std::vector<Outcome> outcomes;
        for (std::size_t first = next.fetch_add(run); first < count; first = next.fetch_add(run)) {
            const std::size_t last = std::min(first + run, count);
            outcomes.clear();
            for (std::size_t index = first; index < last; ++index) {
                try {
                    outcomes.push_back(work(index));
                } catch (const std::exception& failure) {
                    outcomes.push_back({{},
                                        std::string("tallowick-cli: ") + failure.what() + "\n",
                                        Verdict::failed});
                }
            }
            bool wake = false;
            {
                const std::lock_guard<std::mutex> hold(lock);
                for (std::size_t index = first; index < last; ++index) {
                    done[index] = std::move(outcomes[index - first]);
                }
                wake = awaited >= first && awaited < last;
            }
            // Waking the printing thread for any other run costs a context
            // switch and prints nothing.
            if (wake) {
                finished.notify_one();
            }
        }
    };
    std::vector<std::thread> threads;
    try {
        for (unsigned i = 0; i < std::max(1u, jobs); ++i) {
            threads.emplace_back(worker);
        }
    } catch (const std::system_error&) {
        // No thread to be had: the threads that started do all the work, or
        // this one does when none did.
        if (threads.empty()) {
            worker();
        }
    }
    for (std::size_t index = 0; index < count; ++index) {
        Outcome outcome;
        {
            std::unique_lock<std::mutex> hold(lock);
            awaited = index;
            finished.wait(hold, [&] { return done[index].has_value(); });
            outcome = std::move(*done[index]);
            done[index].reset();
        }
        take(outcome);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}
