#pragma once

#include <optional>
#include <QString>
#include <QStringView>

namespace quorvex::deck {

// The kinds of recorder a virtual deck can be: the Control-A1 interface, or Sony's MDS-E11/E12/E52 with
// their RS-232C protocol.
enum class RecorderFamily { controlA1, mdsE };

// "control-a1" or "mds-e", as quorvex-deck's --recorder and the settings name them.
[[nodiscard]] QString recorderFamilyName(RecorderFamily family);
[[nodiscard]] std::optional<RecorderFamily> recorderFamilyFrom(QStringView name);

} // namespace quorvex::deck
