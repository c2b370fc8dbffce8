#pragma once
// How long loops below the engine notice that the user asked to stop the
// running line (Ctrl-C): the request is a flag that a signal handler sets;
// a loop counts its steps and reads the flag once every few thousand, so
// that asking costs nothing measurable.
#include <atomic>
#include <cstdint>

namespace wox::values {

class InterruptPoll {
public:
    // No flag: the loop is never stopped.
    explicit InterruptPoll(std::atomic<bool>* flag = nullptr) : flag_(flag) {}

    // Counts `steps` steps of work; true when the flag is read and found
    // set. The flag is then cleared, as the evaluator clears it when it
    // stops a line, and the loop ends with "interrupt".
    bool stop(std::int64_t steps = 1) {
        budget_ -= steps;
        if (budget_ > 0) return false;
        budget_ = kStride;
        return flag_ && flag_->load(std::memory_order_relaxed) && flag_->exchange(false);
    }

    // Runs body(i) for i in [0, n), asking between stretches of steps;
    // false when stopped partway.
    template <class Body>
    bool forEach(std::int64_t n, Body body) {
        for (std::int64_t start = 0; start < n; start += kStride) {
            const std::int64_t end = n - start < kStride ? n : start + kStride;
            if (stop(end - start)) return false;
            for (std::int64_t i = start; i < end; ++i) body(i);
        }
        return true;
    }

private:
    static constexpr std::int64_t kStride = 4096;
    std::atomic<bool>* flag_;
    std::int64_t budget_ = kStride;
};

}  // namespace wox::values
