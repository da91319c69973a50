// Working through a list of files on every core while printing the results
// in the order of the list.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// How a file came out, from best to worst.
enum class Verdict { fine, warnings, errors, failed };

// What one file produced: its results for stdout, its messages for stderr.
struct Outcome {
    std::string out;
    std::string err;
    Verdict verdict = Verdict::fine;
};

// One thread per core, at most `count`.
unsigned defaultJobs(std::size_t count);

// Calls `work` for 0 .. count-1 on `jobs` threads and `take` on the calling
// thread with each outcome, in index order, as soon as it and every earlier
// one are done. An exception thrown by `work` becomes a failed outcome.
void runInOrder(std::size_t count, unsigned jobs, const std::function<Outcome(std::size_t)>& work,
                const std::function<void(const Outcome&)>& take);
