#include "app/portsetting.h"

namespace quorvex {

int portNumberFromSetting(const QString& text) {
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber);
    if (!isNumber || number < firstPort || number > lastPort) {
        return defaultPort;
    }
    return number;
}

} // namespace quorvex
