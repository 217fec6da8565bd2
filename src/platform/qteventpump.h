#pragma once

#include "platform/eventpump.h"

namespace quorvex {

// Blocks until at least one event has been handled. The 100 ms Tick timer guarantees that it returns
// within a Tick, and a wait built on it sleeps instead of spinning a core.
class QtEventPump final : public EventPump {
public:
    void pumpEvents() override;
};

} // namespace quorvex
