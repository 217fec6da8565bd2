// The demo: --virtual-deck puts a virtual recorder behind every Com button for one session.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/demorecorder.h"
#include "platform/inisettingsstore.h"
#include "support/modalwatcher.h"
#include "support/pseudoterminal.h"
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <utility>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

// Only the --virtual-deck option starts the demo recorder (the first argument is the program's own name);
// then every Com button leads to it, and nothing of it is saved.
TEST(DemoRecorder, OnlyTheOptionStartsItEveryComButtonLeadsToItAndNothingOfItIsSaved) {
    const QList<std::pair<QStringList, bool>> cases{
        {{"quorvex", "--virtual-deck"}, true},
        {{"quorvex", "-platform", "offscreen", "--virtual-deck"}, true},
        {{"quorvex"}, false},
        {{}, false},
        {{"--virtual-deck"}, false},
        {{"quorvex", "--virtual-deck=yes"}, false},
        {{"quorvex", "--Virtual-Deck"}, false},
    };
    for (const auto& [arguments, wanted] : cases) {
        EXPECT_EQ(wantsVirtualDeck(arguments), wanted) << arguments.join(' ').toStdString();
    }

    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(std::tmpfile(), &std::fclose);
    ASSERT_NE(log, nullptr);
    const DemoRecorder demo(log.get());
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
    EXPECT_EQ(lines.count(QStringLiteral("  play")), 4) << lines.toStdString();

    QFile ini(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("MP3Quorvex.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray stored = ini.readAll();
    EXPECT_FALSE(stored.contains("Device") || stored.contains(demo.devicePath().toUtf8()))
        << stored.toStdString();
    EXPECT_TRUE(stored.contains("COM=1")) << "port choices are remembered as always";
}

// What a FILE holds so far.
QString printedTo(std::FILE* file) {
    std::fflush(file);
    QFile printed;
    return printed.open(fileno(file), QIODevice::ReadOnly) && printed.seek(0)
               ? QString::fromUtf8(printed.readAll())
               : QString();
}

// On a computer whose sound server is not running, the demo records the whole list all the same, playing in
// silence in real time, and says so.
TEST(DemoRecorder, WithoutASoundOutputRecordsTheWholeListSilentlyAndSaysSo) {
    const QByteArray sinkServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/quorvex/pulse/native");
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(std::tmpfile(), &std::fclose);
    ASSERT_NE(log, nullptr);
    const DemoRecorder demo(log.get());
    frmQuorvex window(makeSystemPlatform(QStringLiteral("pulse"), demo.devicePath()));
    window.Form_Load();
    // Half a second of silence, 44.1 kHz 16-bit stereo.
    const QTemporaryDir folder;
    QFile wav(folder.filePath(QStringLiteral("half_second.wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(
        QByteArray("RIFF\x44\x58\x01\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0"
                   "data\x88\x58\x01\0",
                   44) +
        QByteArray(88200, '\0'));
    wav.close();
    window.findChild<TrackList*>(QStringLiteral("ListOfMusic"))
        ->entries()
        ->append({wav.fileName(), wav.fileName()});
    const ModalWatcher answers;
    QStringList statusLines;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&window, &statusLines] {
        const QString now = window.findChild<QLabel*>(QStringLiteral("statusLine"))->text();
        if (statusLines.isEmpty() || statusLines.back() != now) {
            statusLines.append(now);
        }
    });
    watch.start(5);
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("btnRecordList")), Qt::LeftButton);
    watch.stop();
    qputenv("PULSE_SERVER", sinkServer);

    EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('\n').toStdString();
    EXPECT_EQ(statusLines.count(QStringLiteral("No sound output: the demo plays silently.")), 1)
        << statusLines.join('\n').toStdString();
    const QString lines = printedTo(log.get());
    EXPECT_EQ(lines.count(QStringLiteral("  record\n")), 2) << lines.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("title track 5 \"second\"")));
    EXPECT_EQ(window.entryMark(1).state, EntryState::recorded);
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

// Without the option the program uses the remembered device; with it, the virtual recorder.
TEST(Program, UsesTheRememberedDeviceOrWithTheOptionTheVirtualRecorder) {
    PseudoTerminal recorder;
    const QTemporaryDir rememberedHome;
    QProcess remembering;
    start(remembering, rememberedHome,
          "[Commport]\nCOM=2\nDevice2=" + recorder.line.slavePath().toUtf8() + "\n",
          {QStringLiteral("--some-option-it-does-not-read")});
    const QByteArray expected = QByteArray::fromHex("81070547 0102 FF 81070547 2044 FF");
    EXPECT_EQ(recorder.read(expected.size(), 10s).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(remembering.state(), QProcess::Running);
    remembering.kill();
    remembering.waitForFinished();

    const QTemporaryDir configHome;
    QProcess program;
    start(program, configHome, {}, {QStringLiteral("--virtual-deck")});
    QString lines;
    const QDeadlineTimer deadline(10s);
    while (!lines.contains(QStringLiteral("disc information request")) && !deadline.hasExpired()) {
        program.waitForReadyRead(100);
        lines += QString::fromUtf8(program.readAllStandardOutput());
    }
    // The virtual recorder is switched on, then asked for its disc.
    EXPECT_TRUE(lines.contains(QRegularExpression(
        QStringLiteral("(?s)81 07 05 47 01 02 FF  on\n.*81 07 05 47 20 44 FF  disc information request"))))
        << lines.toStdString();
    program.kill();
    program.waitForFinished();
}

} // namespace
} // namespace quorvex::testing
