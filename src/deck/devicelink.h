#pragma once

#include <filesystem>
#include <QString>

namespace quorvex::deck {

// A symbolic link at a fixed path that points at the deck's slave device, so that a settings file can
// name a path that stays the same from run to run while the /dev/pts number changes. The link goes when
// this object goes, unless someone has pointed it elsewhere meanwhile.
class DeviceLink {
public:
    // A link left behind by an earlier run that was killed is replaced; anything else at the path is not
    // touched, and the link is not made.
    DeviceLink(const QString& linkPath, const QString& device);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    DeviceLink(DeviceLink&&) = delete;
    DeviceLink& operator=(DeviceLink&&) = delete;
    ~DeviceLink();

    [[nodiscard]] bool isValid() const { return made; }
    [[nodiscard]] QString error() const { return problem; }

private:
    std::filesystem::path link;
    std::filesystem::path target;
    bool made = false;
    QString problem;
};

} // namespace quorvex::deck
