#pragma once

namespace quorvex {

// Ends the program at once: no further event is handled and no waiting operation resumes.
class ProgramExit {
public:
    ProgramExit() = default;
    ProgramExit(const ProgramExit&) = delete;
    ProgramExit& operator=(const ProgramExit&) = delete;
    ProgramExit(ProgramExit&&) = delete;
    ProgramExit& operator=(ProgramExit&&) = delete;
    virtual ~ProgramExit() = default;

    virtual void exitNow() = 0;
};

// The process ends where it stands, inside whatever wait the window was closed in. Everything worth
// keeping (the settings) has been written through before; no destructor runs.
class ProcessExit final : public ProgramExit {
public:
    [[noreturn]] void exitNow() override;
};

} // namespace quorvex
