#pragma once

namespace quorvex::testing {

// Makes file permissions count for this thread and the threads it starts from now on, even for root:
// drops the capabilities that let root read and write any file (CI runs the tests as root). Tests that
// need an unreadable or read-only file call it first. Returns false if the capabilities could not be
// dropped.
bool obeyFilePermissions();

} // namespace quorvex::testing
