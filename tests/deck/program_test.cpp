// quorvex-deck itself, run as the person trying Quorvex would run it: its options, its device link, its
// signals and its refusals.
#include "deckfixture.h"

#include <csignal>
#include <filesystem>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace quorvex::deck::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Starts the program and returns the device it names on its first line.
QString launch(QProcess& deck, const QStringList& arguments) {
    deck.start(QStringLiteral(QUORVEX_DECK_PROGRAM), arguments);
    const QString first =
        deck.waitForReadyRead(3000) ? QString::fromLocal8Bit(deck.readLine()).trimmed() : QString();
    return first.startsWith(QStringLiteral("quorvex-deck: connect to /dev/pts/")) ? first.section(' ', 3)
                                                                                  : QString();
}

bool endsCleanly(QProcess& deck) {
    return deck.waitForFinished(3000) && deck.exitStatus() == QProcess::NormalExit && deck.exitCode() == 0;
}

// The options shape the answers on the linked device, SIGTERM or SIGINT ends the program, and wrong options
// are refused with their reason.
TEST(DeckProgram, OptionsShapeTheAnswersOnTheLinkedDeviceSignalsEndItAndWrongOptionsAreRefused) {
    const QTemporaryDir directory;
    const QString link = directory.filePath(QStringLiteral("recorder"));
    fs::create_symlink("/dev/pts/9999", link.toStdString()); // left behind by a run that was killed
    QProcess deck;
    const QString device =
        launch(deck, {"--tracks",      "7",         "--minutes", "31",    "--seconds",     "59",
                      "--answer",      "stop,disc", "--late",    "100",   "--split",       "3",
                      "--split-gap",   "15",        "--noise",   "00 ff", "--noise-after", "81050547FF",
                      "--close-after", "3",         "--link",    link});
    ASSERT_FALSE(device.isEmpty()) << deck.readAllStandardError().toStdString();
    EXPECT_EQ(fs::read_symlink(link.toStdString()), fs::path(device.toStdString()));
    QSerialPort program(link);
    ASSERT_TRUE(program.open(QIODevice::ReadWrite));
    program.write(commandBytes(0x02, 0x21));
    EXPECT_TRUE(readFrom(program, 1, 150ms).isEmpty()) << "record is not answered";
    QElapsedTimer clock;
    clock.start();
    program.write(commandBytes(0x20, 0x44));
    EXPECT_EQ(readFrom(program, 20, 2s),
              bytes({0x00, 0xFF}) + discAnswer(7, 31, 59) + QByteArray::fromHex("81050547FF"));
    EXPECT_GE(clock.elapsed(), 100 + 2 * 15) << "late, then two gaps";
    program.write(commandBytes(0x02, 0x02));
    EXPECT_TRUE(QTest::qWaitFor([&program] { return program.error() != QSerialPort::NoError; }, 2000))
        << "the third frame pulls the cable";
    QByteArray output = deck.readAllStandardOutput();
    while (!output.contains("line closed") && deck.waitForReadyRead(2000)) {
        output += deck.readAllStandardOutput();
    }
    EXPECT_TRUE(output.contains("81 07 05 47 20 44 FF  disc information request\n")) << output.toStdString();
    EXPECT_TRUE(output.contains("quorvex-deck: line closed\n")) << output.toStdString();

    fs::remove(link.toStdString());
    fs::create_symlink("/dev/pts/9998", link.toStdString()); // a second deck took the path over
    deck.terminate();
    EXPECT_TRUE(endsCleanly(deck));
    EXPECT_EQ(fs::read_symlink(link.toStdString()), fs::path("/dev/pts/9998")) << "a foreign link stays";

    // A plain deck answers whole and at once (--silent is read in parts_test, and a silent deck still
    // hears every frame in virtualdeck_test); SIGINT ends it too, and its link goes with it.
    program.close();
    ASSERT_FALSE(launch(deck, {"--link", link}).isEmpty());
    ASSERT_TRUE(program.open(QIODevice::ReadWrite));
    program.write(commandBytes(0x20, 0x44));
    ASSERT_TRUE(QTest::qWaitFor([&program] { return program.bytesAvailable() > 0; }, 1000));
    EXPECT_EQ(program.readAll(), discAnswer(0, 0, 0));
    ASSERT_EQ(::kill(static_cast<pid_t>(deck.processId()), SIGINT), 0);
    EXPECT_TRUE(endsCleanly(deck));
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(link.toStdString())));

    const QString settings = directory.filePath(QStringLiteral("settings.ini"));
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("[Commport]\n") == 11);
    file.close();
    const QList<QStringList> wrong{
        {"--tracks", "many"},
        {"--tracks", "-1"},
        {"--seconds", "60"},
        {"--split", "0"},
        {"--late", "1.5"},
        {"--noise", "0F0"},
        {"--noise", "0x81"},
        {"--noise", ""},
        {"--noise-after", "zz"},
        {"--answer", "record,play"},
        {"--close-after", "0"},
        {"--link", settings},
        {"--link", directory.filePath(QStringLiteral("missing/recorder"))},
    };
    for (const QStringList& arguments : wrong) {
        QProcess refused;
        refused.start(QStringLiteral(QUORVEX_DECK_PROGRAM), arguments);
        ASSERT_TRUE(refused.waitForFinished(3000));
        EXPECT_NE(refused.exitCode(), 0) << arguments.join(' ').toStdString();
        const QString reason = QString::fromLocal8Bit(refused.readAllStandardError());
        EXPECT_TRUE(reason.contains(arguments[0].mid(2))) << reason.toStdString();
        EXPECT_TRUE(refused.readAllStandardOutput().isEmpty()) << "no device offered";
    }
    EXPECT_EQ(fs::file_size(settings.toStdString()), 11U) << "an ordinary file is left alone";
}

// --recorder mds-e runs the MDS-E deck with the disc, model and timing given: an E11 in standby is switched
// on, reads its TOC for 20 ms, and tells its disc; the log shows what it sent.
TEST(DeckProgram, RunsTheMdseDeckOfTheModelAndDiscGiven) {
    QProcess deck;
    const QString device = launch(deck, {"--recorder", "mds-e", "--model", "E11", "--standby", "--toc-read",
                                         "20", "--tracks", "2", "--minutes", "5", "--disc-length", "60"});
    ASSERT_FALSE(device.isEmpty()) << deck.readAllStandardError().toStdString();
    QSerialPort program(device);
    ASSERT_TRUE(program.open(QIODevice::ReadWrite));
    program.write(QByteArray::fromHex("7E07054710 03FF 7E07054701 02FF"));
    EXPECT_EQ(readFrom(program, 38, 1s).toHex(' '),
              QByteArray::fromHex("6F07054710 03FF 6F0C054720 20 10 00 03 01 00 FF 6F07054701 02FF "
                                  "6F0C054720 20 00 A0 03 01 00 FF")
                  .toHex(' '));
    program.write(QByteArray::fromHex("7E08054720 44 01 FF 7E08054720 54 01 FF"));
    EXPECT_EQ(readFrom(program, 23, 1s).toHex(' '),
              QByteArray::fromHex("6F0D054720 60 01 01 02 05 00 00 FF 6F0A054720 54 01 37 00 FF").toHex(' '));
    deck.terminate();
    EXPECT_TRUE(endsCleanly(deck));
    EXPECT_TRUE(
        deck.readAllStandardOutput().contains("sent 6F 0A 05 47 20 54 01 37 00 FF  REC REMAIN 55:00\n"));
}

} // namespace
} // namespace quorvex::deck::testing
