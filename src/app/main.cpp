#include "app/frmquorvex.h"
#include "app/messages.h"
#include "app/systemplatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    const QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(quorvex::text::applicationTitle));

    quorvex::frmQuorvex window(quorvex::makeSystemPlatform());
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
