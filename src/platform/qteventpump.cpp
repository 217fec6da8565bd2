#include "platform/qteventpump.h"

#include <QCoreApplication>

namespace quorvex {

void QtEventPump::pumpEvents() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace quorvex
