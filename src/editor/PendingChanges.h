// Changes the effect announces from a thread other than the editor's (host automation on
// the audio thread, a program change from a host worker). They wait here, lock-free and
// without allocation, until the editor's next idle applies them on its own thread, so
// that no other thread ever touches a control while the window opens or closes.
#pragma once

#include <atomic>
#include <cstdint>

class PendingChanges {
public:
    void parameterChanged(int index) {
        if (index >= 0 && index < 32)
            parameters.fetch_or(uint32_t(1) << index, std::memory_order_release);
    }
    void meterCleared() { meter.store(kCleared, std::memory_order_release); }
    void meterRefreshed() { meter.store(kRefreshed, std::memory_order_release); }
    void programsChanged() { programs.store(true, std::memory_order_release); }

    // What arrived since the last take, cleared by taking it.
    uint32_t takeParameters() { return parameters.exchange(0, std::memory_order_acquire); }
    enum MeterChange { kNone, kCleared, kRefreshed };
    MeterChange takeMeter() {
        return static_cast<MeterChange>(meter.exchange(kNone, std::memory_order_acquire));
    }
    bool takePrograms() { return programs.exchange(false, std::memory_order_acquire); }

    // Everything the editor builds afresh anyway when its window opens.
    void clear() {
        takeParameters();
        takeMeter();
        takePrograms();
    }

private:
    std::atomic<uint32_t> parameters{0};
    std::atomic<int> meter{kNone};
    std::atomic<bool> programs{false};
};
