// The demo: --virtual-deck puts a virtual recorder behind every Com button for one session.
#include "app/demorecorder.h"
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "platform/inisettingsstore.h"
#include "support/pseudoterminal.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

TEST(DemoRecorder, OnlyTheVirtualDeckOptionStartsIt) {
    for (const QStringList& wanted : QList<QStringList>{
             {"quorvex", "--virtual-deck"}, {"quorvex", "-platform", "offscreen", "--virtual-deck"}}) {
        EXPECT_TRUE(wantsVirtualDeck(wanted)) << wanted.join(' ').toStdString();
    }
    // The first argument is the program's own name.
    for (const QStringList& other : QList<QStringList>{{"quorvex"},
                                                       {},
                                                       {"--virtual-deck"},
                                                       {"quorvex", "--virtual-deck=yes"},
                                                       {"quorvex", "--Virtual-Deck"}}) {
        EXPECT_FALSE(wantsVirtualDeck(other)) << other.join(' ').toStdString();
    }
}

TEST(DemoRecorder, EveryComButtonLeadsToItAndNothingOfItIsSaved) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(std::tmpfile(), &std::fclose);
    ASSERT_NE(log, nullptr);
    const DemoRecorder demo(log.get());
    ASSERT_TRUE(demo.isOpen());
    frmQuorvex window(makeSystemPlatform({}, demo.devicePath()));

    window.Form_Load();
    EXPECT_EQ(window.findChild<QLabel*>("lblTrackInfo")->text(), "3 Tracks 12m 30s");
    for (const char* button : {"optCom2", "optCom3", "optCom4", "optCom1"}) {
        QTest::mouseClick(window.findChild<QAbstractButton*>(button), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QAbstractButton*>("btnPlay"), Qt::LeftButton);
    }
    QTest::qWait(300); // the last frame crosses the pseudo-terminal

    std::fflush(log.get());
    QFile printed;
    ASSERT_TRUE(printed.open(fileno(log.get()), QIODevice::ReadOnly) && printed.seek(0));
    const QString lines = QString::fromUtf8(printed.readAll());
    EXPECT_TRUE(lines.contains(QStringLiteral("every Com button leads to ") + demo.devicePath()))
        << lines.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("81 07 05 47 01 02 FF  on"))) << lines.toStdString();
    EXPECT_EQ(lines.count(QStringLiteral("  play")), 4) << lines.toStdString();

    QFile ini(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("MP3Quorvex.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray stored = ini.readAll();
    EXPECT_FALSE(stored.contains("Device")) << stored.toStdString();
    EXPECT_FALSE(stored.contains(demo.devicePath().toUtf8())) << stored.toStdString();
    EXPECT_TRUE(stored.contains("COM=1")) << "port choices are remembered as always";
}

// The installed program, started as a user would start it, with `settings` as its settings file.
void start(QProcess& program, const QTemporaryDir& configHome, const QByteArray& settings,
           const QStringList& arguments) {
    QFile ini(QDir(configHome.path()).filePath(QStringLiteral("MP3Quorvex.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly) && ini.write(settings) == settings.size());
    ini.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUORVEX_PROGRAM), arguments);
    ASSERT_TRUE(program.waitForStarted());
}

TEST(Program, WithoutTheOptionItUsesTheRememberedDevice) {
    PseudoTerminal recorder;
    const QTemporaryDir configHome;
    QProcess program;
    start(program, configHome, "[Commport]\nCOM=2\nDevice2=" + recorder.line.slavePath().toUtf8() + "\n",
          {QStringLiteral("--some-option-it-does-not-read")});
    const QByteArray expected = QByteArray::fromHex("81070547 0102 FF 81070547 2044 FF");
    EXPECT_EQ(recorder.read(expected.size(), 10s).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

// A settings file that is not INI at all: the program says so naming it, puts it aside as it was, and
// starts with its defaults, which it saves to a fresh file. The store's own test meets unwritable files.
TEST(Program, BrokenSettingsAreReportedAndTheProgramStartsWithItsDefaults) {
    const QByteArray notIni = QByteArray("\x89PNG\r\n\x1a\n\0\0[General\n==\n", 20) + QByteArray(200, '\xFE');
    const QTemporaryDir configHome;
    QProcess program;
    start(program, configHome, notIni, {QStringLiteral("--virtual-deck")});
    QString lines;
    const QDeadlineTimer deadline(10s);
    while (!lines.contains(QStringLiteral("disc information request")) && !deadline.hasExpired()) {
        program.waitForReadyRead(100);
        lines += QString::fromUtf8(program.readAllStandardOutput());
    }
    // The virtual recorder is switched on, then asked for its disc.
    const qsizetype on = lines.indexOf(QStringLiteral("81 07 05 47 01 02 FF  on"));
    EXPECT_GE(on, 0) << lines.toStdString();
    EXPECT_GT(lines.indexOf(QStringLiteral("81 07 05 47 20 44 FF  disc information request")), on)
        << lines.toStdString();
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    const QString ini = QDir(configHome.path()).filePath(QStringLiteral("MP3Quorvex.ini"));
    EXPECT_TRUE(
        errors.contains(ini + " is not a settings file it can read; it was moved to " + ini + ".unreadable"))
        << errors.toStdString();
    QFile aside(ini + QStringLiteral(".unreadable"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), notIni);
    QFile fresh(ini);
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fresh.readAll().contains("COM=1")) << "the defaults go to a fresh file";
    program.kill();
    program.waitForFinished();
}

} // namespace
} // namespace quorvex::testing
