#pragma once

#include <QString>

namespace quorvex::text {

// The program's own words, byte for byte as the user sees them.
inline constexpr auto applicationTitle = "Quorvex";
inline constexpr auto windowCaption = "Quorvex recorder";
inline constexpr auto portOpenError = "Error opening Com Port, please select another one";
inline constexpr auto pauseModeNotice =
    "Checking this box disables all Control-A1 features and allows use of other MD recorders, please "
    "un-check it if you wish to be able to use track naming features.";
inline constexpr auto lineLost = "The connection to the recorder was lost (%1), so the Com port has been "
                                 "closed. Check the cable and choose the Com port again to reconnect.";
inline constexpr auto aboutLine =
    "Records a list of sound files onto a MiniDisc recorder, one file per track: it plays "
    "each file to the recorder's optical input and drives the recorder over its "
    "Control-A1 serial link.";
inline constexpr auto contactLine = "Puts your music on MiniDisc.\n"
                                    "Problems? See README.md.";

} // namespace quorvex::text
