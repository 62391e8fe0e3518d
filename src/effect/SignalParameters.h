// Values derived from the parameters, written by setParameter (on whichever thread the
// host uses) and read by the signal path as they stand at each sample. Relaxed atomics:
// plain loads and stores on x86-64, but well defined when the threads differ.
#pragma once

#include <atomic>

struct SignalParameters {
    enum ProcessMode { kOff = 0, kClear = 1, kValve = 2 };

    std::atomic<int> processMode{kOff};
    std::atomic<int> ratioIndex{0};
    std::atomic<double> timeScale{0.0};         // divisor of the opto cell's cut-off, 0.005..0.5
    std::atomic<double> inputGainTarget{0.0};   // drive, 0.125..128
    std::atomic<double> outputGainTarget{0.0};  // make-up, 1..31.62

    static_assert(std::atomic<double>::is_always_lock_free);
};

template <typename T>
T relaxed(const std::atomic<T>& value) {
    return value.load(std::memory_order_relaxed);
}

template <typename T>
void setRelaxed(std::atomic<T>& target, T value) {
    target.store(value, std::memory_order_relaxed);
}
