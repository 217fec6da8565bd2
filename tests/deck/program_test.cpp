#include "framebytes.h"
#include "slaveend.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::bytes;
using testing::commandBytes;

// quorvex-deck itself, run as the person trying Quorvex would run it.
class DeckProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(directory.isValid()); }

    // Starts the program and returns the device it names on its first line.
    QString launch(const QStringList& arguments) {
        deck.start(QStringLiteral(QUORVEX_DECK_PROGRAM), arguments);
        if (!deck.waitForStarted(3000) || !deck.waitForReadyRead(3000)) {
            return {};
        }
        const QString first = QString::fromLocal8Bit(deck.readLine()).trimmed();
        const auto match =
            QRegularExpression(QStringLiteral("^quorvex-deck: connect to (/dev/pts/\\d+)$")).match(first);
        return match.hasMatch() ? match.captured(1) : QString();
    }

    // Output lines until one contains `text` or the time is up.
    QString lineContaining(const QString& text) {
        while (deck.canReadLine() || deck.waitForReadyRead(2000)) {
            QString line = QString::fromLocal8Bit(deck.readLine()).trimmed();
            if (line.contains(text)) {
                return line;
            }
        }
        return {};
    }

    QTemporaryDir directory;
    QProcess deck;
};

TEST_F(DeckProgramTest, AnswersOnItsDeviceLogsAndEndsCleanlyOnSigterm) {
    const QString link = directory.filePath(QStringLiteral("recorder"));
    const QString device = launch({"--tracks", "7", "--minutes", "30", "--seconds", "15", "--link", link});
    ASSERT_FALSE(device.isEmpty()) << deck.readAllStandardError().toStdString();
    EXPECT_EQ(std::filesystem::read_symlink(link.toStdString()), std::filesystem::path(device.toStdString()));

    testing::SlaveEnd program(link);
    ASSERT_TRUE(program.isOpen());
    program.write(commandBytes(0x20, 0x44));
    EXPECT_EQ(program.read(13, 2s),
              bytes({0x81, 0x0D, 0x05, 0x48, 0x20, 0x60, 0x01, 0x00, 7, 30, 15, 0x00, 0xFF}));
    EXPECT_TRUE(lineContaining(QStringLiteral("81 07 05 47 20 44 FF  disc information request")).size() > 0);

    deck.terminate();
    ASSERT_TRUE(deck.waitForFinished(3000));
    EXPECT_EQ(deck.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(deck.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(link.toStdString())))
        << "the link goes with the program";
}

TEST_F(DeckProgramTest, FaultOptionsReachTheDeckAndSigintEndsIt) {
    const QString device = launch({"--noise", "00 FF", "--answer", "stop", "--close-after", "3"});
    ASSERT_FALSE(device.isEmpty()) << deck.readAllStandardError().toStdString();
    testing::SlaveEnd program(device);
    program.write(commandBytes(0x02, 0x21));
    EXPECT_TRUE(program.read(1, 150ms).isEmpty()) << "record is not answered";
    program.write(commandBytes(0x02, 0x02));
    EXPECT_EQ(program.read(9, 2s), bytes({0x00, 0xFF, 0x81, 0x07, 0x05, 0x48, 0x02, 0x02, 0xFF}));
    program.write(commandBytes(0x01, 0x03));
    EXPECT_TRUE(program.waitForHangUp(2s));
    EXPECT_FALSE(lineContaining(QStringLiteral("line closed")).isEmpty());

    ASSERT_EQ(::kill(static_cast<pid_t>(deck.processId()), SIGINT), 0);
    ASSERT_TRUE(deck.waitForFinished(3000));
    EXPECT_EQ(deck.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(deck.exitCode(), 0);
}

TEST_F(DeckProgramTest, AWrongOptionIsRefusedWithItsReason) {
    deck.start(QStringLiteral(QUORVEX_DECK_PROGRAM), {"--split", "none"});
    ASSERT_TRUE(deck.waitForFinished(3000));
    EXPECT_NE(deck.exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(deck.readAllStandardError()).contains(QStringLiteral("--split")));
    EXPECT_TRUE(deck.readAllStandardOutput().isEmpty()) << "no device offered";
}

} // namespace
} // namespace quorvex::deck
