#include "app/menubar.h"

#include "platform/settingvalues.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace quorvex {

namespace {

QAction* action(QMenu* menu, const char* objectName, const QString& text) {
    QAction* added = menu->addAction(text);
    added->setObjectName(QString::fromLatin1(objectName));
    return added;
}

} // namespace

Menus buildMenuBar(QMainWindow& window) {
    Menus menus;
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    // A menu bar of the desktop's own (macOS, some Linux desktops) would leave the client area where it is
    // but take the bar out of the window; the window's own keeps every control where it was placed.
    bar->setNativeMenuBar(false);

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    menus.addFiles = action(file, "actionAddFiles", QStringLiteral("&Add files…"));
    menus.addFiles->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    menus.addFolder = action(file, "actionAddFolder", QStringLiteral("Add &folder…"));
    menus.saveList = action(file, "actionSaveList", QStringLiteral("&Save list as playlist…"));
    menus.printInsert = action(file, "actionPrintInsert", QStringLiteral("&Print case insert…"));
    file->addSeparator();
    menus.quit = action(file, "actionQuit", QStringLiteral("&Quit"));
    menus.quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* disc = bar->addMenu(QStringLiteral("&Disc"));
    disc->setObjectName(QStringLiteral("menuDisc"));
    QMenu* lengths = disc->addMenu(QStringLiteral("Disc &length"));
    lengths->setObjectName(QStringLiteral("menuDiscLength"));
    auto* oneLength = new QActionGroup(lengths);
    for (std::size_t choice = 0; choice < discLengthsMinutes.size(); ++choice) {
        const int minutes = discLengthsMinutes.at(choice);
        QAction* length = lengths->addAction(QStringLiteral("%1 minutes").arg(minutes));
        length->setObjectName(QStringLiteral("actionDisc%1").arg(minutes));
        length->setCheckable(true);
        length->setData(minutes);
        oneLength->addAction(length);
        menus.discLengths.at(choice) = length;
    }
    menus.asciiTitles = action(disc, "actionAsciiTitles", QStringLiteral("Plain &ASCII titles"));
    menus.asciiTitles->setCheckable(true);
    menus.gapless = action(disc, "actionGapless", QStringLiteral("&Gapless (one take, track marks)"));
    menus.gapless->setCheckable(true);
    menus.level = disc->addMenu(QStringLiteral("Le&vel"));
    menus.level->setObjectName(QStringLiteral("menuLevel"));
    const std::array<QString, levelNames.size()> levelTexts{
        QStringLiteral("\u22126 dB"), QStringLiteral("Full level"), QStringLiteral("Track gain (ReplayGain)"),
        QStringLiteral("Album gain (ReplayGain)")};
    auto* oneLevel = new QActionGroup(menus.level);
    for (std::size_t choice = 0; choice < levelNames.size(); ++choice) {
        QAction* level = menus.level->addAction(levelTexts.at(choice));
        level->setObjectName(QStringLiteral("actionLevel_") + levelNames.at(choice).text);
        level->setCheckable(true);
        level->setData(QString(levelNames.at(choice).text));
        oneLevel->addAction(level);
        menus.levels.at(choice) = level;
    }
    menus.soundOutput = disc->addMenu(QStringLiteral("&Sound output"));
    menus.soundOutput->setObjectName(QStringLiteral("menuSoundOutput"));
    menus.send44k = action(disc, "actionSend44k", QStringLiteral("Send &44.1 kHz"));
    menus.send44k->setCheckable(true);
    menus.serialDevice = action(disc, "actionSerialDevice", QStringLiteral("Serial &device\u2026"));
    menus.saveTrace = action(disc, "actionSaveTrace", QStringLiteral("Save serial &trace\u2026"));
    menus.recordedDiscs = action(disc, "actionRecordedDiscs", QStringLiteral("&Recorded discs\u2026"));
    menus.checkDisc = action(disc, "actionCheckDisc", QStringLiteral("&Check disc"));

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    menus.about = action(help, "actionAbout", QStringLiteral("&About Quorvex"));
    return menus;
}

} // namespace quorvex
