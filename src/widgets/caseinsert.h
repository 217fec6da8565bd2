#pragma once

#include "run/discrecord.h"

#include <chrono>
#include <QString>
#include <span>
#include <vector>

class QPagedPaintDevice;

namespace quorvex {

// The paper insert of a MiniDisc case, in millimetres: a strip as wide as the case's window that holds, from
// its top, the flap tucked into the case, the spine read on the shelf (the case's thickness), and the front
// panel seen through the lid (the cartridge's own height); where the front cannot hold every track, a back
// panel of the front's size follows, folded behind it.
namespace insertmm {
inline constexpr double width = 73;
inline constexpr double flap = 11;
inline constexpr double spine = 5;
inline constexpr double panel = 68;
} // namespace insertmm

// What one insert says: the disc's name, its tracks by number with whole titles and lengths, the total.
struct CaseInsert {
    QString discName;
    std::vector<RecordedTrack> tracks;
    std::chrono::milliseconds total{0};
};

[[nodiscard]] CaseInsert caseInsert(const DiscRecord& record);
// Unknown lengths count nothing in the total.
[[nodiscard]] CaseInsert caseInsert(QString discName, std::vector<RecordedTrack> tracks);

// Paints the inserts onto the device's pages, as many to a page as its paintable area holds, each with cut
// marks at its corners and fold marks beside its folds. The tracks' text is as large as lets them all fit on
// the front (one column up to 30 tracks, two beyond), else on the front and back; a title wraps, it is never
// cut. False when the device cannot be painted on.
bool printCaseInserts(QPagedPaintDevice& device, std::span<const CaseInsert> inserts);

} // namespace quorvex
