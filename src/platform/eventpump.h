#pragma once

namespace quorvex {

// One pass over the events pending for the window's thread: Ticks, serial input, user input, painting.
// Every wait of the program is a loop of pumpEvents and a test of its condition.
class EventPump {
public:
    EventPump() = default;
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;
    EventPump(EventPump&&) = delete;
    EventPump& operator=(EventPump&&) = delete;
    virtual ~EventPump() = default;

    virtual void pumpEvents() = 0;
};

} // namespace quorvex
