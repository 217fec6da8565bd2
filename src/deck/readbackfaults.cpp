#include "deck/readbackfaults.h"

#include <algorithm>

namespace quorvex::deck {

bool ReadBackFlaws::keepsTrack() {
    ++tracksMade;
    return !faults.dropTrack || *faults.dropTrack != tracksMade;
}

std::chrono::milliseconds ReadBackFlaws::stored(std::chrono::milliseconds recorded) const {
    const std::chrono::milliseconds cut = std::chrono::seconds{faults.shortBySeconds};
    return std::max(recorded - cut, std::chrono::milliseconds{0});
}

QString ReadBackFlaws::stored(const QString& name) {
    return !name.isEmpty() && garblesName() ? withOneCharacterChanged(name) : name;
}

QByteArray ReadBackFlaws::stored(const QByteArray& name) {
    return !name.isEmpty() && garblesName() ? withOneCharacterChanged(name) : name;
}

bool ReadBackFlaws::garblesName() {
    ++namesStored;
    return faults.garbleName && *faults.garbleName == namesStored;
}

QString withOneCharacterChanged(QString name) {
    if (name.isEmpty()) {
        return name;
    }
    const QChar last = name.back();
    name.chop(last.isLowSurrogate() && name.size() > 1 ? 2 : 1);
    return name + (last == QLatin1Char('X') ? QLatin1Char('Y') : QLatin1Char('X'));
}

QByteArray withOneCharacterChanged(QByteArray name) {
    if (!name.isEmpty()) {
        name.back() = name.back() == 'X' ? 'Y' : 'X';
    }
    return name;
}

} // namespace quorvex::deck
