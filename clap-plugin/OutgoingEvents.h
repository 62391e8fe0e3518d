// What the plug-in tells its host about parameters between two process calls: the user's
// gestures in the editor and the program store's changes, written on the main thread and
// handed out by whichever call the host lets us speak in (process, or flush). One writer
// and one reader at a time, without locks; a full queue drops the newest event rather than
// block the editor.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace clapfront {

struct OutgoingEvent {
    enum class Kind : uint8_t { GestureBegin, Value, GestureEnd };
    Kind kind = Kind::Value;
    uint32_t id = 0;
    double value = 0.0;  // the host's value, for Value
};

class OutgoingEvents {
public:
    // False when the queue is full and the event was dropped.
    bool push(const OutgoingEvent& event) {
        const uint32_t tail = writeAt.load(std::memory_order_relaxed);
        if (tail - readAt.load(std::memory_order_acquire) == kCapacity) return false;
        slots[tail % kCapacity] = event;
        writeAt.store(tail + 1, std::memory_order_release);
        return true;
    }
    // The oldest event without taking it; false when there is none.
    bool peek(OutgoingEvent& event) const {
        const uint32_t head = readAt.load(std::memory_order_relaxed);
        if (head == writeAt.load(std::memory_order_acquire)) return false;
        event = slots[head % kCapacity];
        return true;
    }
    void pop() { readAt.store(readAt.load(std::memory_order_relaxed) + 1, std::memory_order_release); }
    bool empty() const {
        return readAt.load(std::memory_order_acquire) == writeAt.load(std::memory_order_acquire);
    }

private:
    // A program change is 5 parameters of 4 events; this holds many before a host reads.
    static constexpr uint32_t kCapacity = 1024;
    std::array<OutgoingEvent, kCapacity> slots{};
    std::atomic<uint32_t> writeAt{0};
    std::atomic<uint32_t> readAt{0};
};

}  // namespace clapfront
