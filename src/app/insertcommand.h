#pragma once

#include <optional>

namespace quorvex {

// quorvex --insert FILE.pdf [--paper a4|letter] RECORD...: the case inserts of disc records written to a
// PDF, with no window and no display. Nothing when the arguments do not ask for it; else the exit status
// (0 written; 1 a record unreadable or the PDF not written; 2 the arguments wrong), having said why on
// standard error.
[[nodiscard]] std::optional<int> insertCommand(int argc, char** argv);

} // namespace quorvex
