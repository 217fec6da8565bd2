#include "support/modalwatcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace quorvex::testing {

ModalWatcher::ModalWatcher() {
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        seen.append(box->text());
        detailsSeen.append(box->informativeText());
        if (QPushButton* chosen = box->defaultButton()) {
            chosen->click();
        } else {
            box->done(QMessageBox::Ok);
        }
    });
    poll.start();
}

} // namespace quorvex::testing
