#pragma once

#include <unistd.h>
#include <utility>

namespace quorvex::deck {

// Owns one POSIX file descriptor and closes it when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }
    ~FileDescriptor() { reset(); }

    [[nodiscard]] bool isValid() const { return fd >= 0; }
    [[nodiscard]] int get() const { return fd; }

    void reset() {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

private:
    int fd = -1;
};

} // namespace quorvex::deck
