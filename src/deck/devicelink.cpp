#include "deck/devicelink.h"

#include <system_error>

namespace quorvex::deck {
namespace {

std::filesystem::path pathOf(const QString& text) {
    return {text.toStdString()};
}

} // namespace

DeviceLink::DeviceLink(const QString& linkPath, const QString& device)
    : link(pathOf(linkPath)), target(pathOf(device)) {
    std::error_code error;
    const auto existing = std::filesystem::symlink_status(link, error);
    if (std::filesystem::exists(existing) || std::filesystem::is_symlink(existing)) {
        if (!std::filesystem::is_symlink(existing)) {
            problem = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
            return;
        }
        std::filesystem::remove(link, error);
    }
    std::filesystem::create_symlink(target, link, error);
    if (error) {
        problem = QStringLiteral("cannot link %1 to %2: %3")
                      .arg(linkPath, device, QString::fromStdString(error.message()));
        return;
    }
    made = true;
}

DeviceLink::~DeviceLink() {
    if (!made) {
        return;
    }
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(link, error)) &&
        std::filesystem::read_symlink(link, error) == target) {
        std::filesystem::remove(link, error);
    }
}

} // namespace quorvex::deck
