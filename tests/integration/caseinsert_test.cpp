// quorvex --insert: a disc record's case insert as a PDF, written with no display, read back with poppler's
// pdftotext and pdfinfo.
#include "run/discrecord.h"
#include "widgets/caseinsert.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace quorvex::testing {
namespace {

constexpr double pointsPerMm = 72 / 25.4;

struct Ran {
    int status = -1;
    QString err;
};

// The program as a user without a display runs it.
Ran quorvex(const QStringList& arguments) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUORVEX_PROGRAM), QStringList{"--insert"} + arguments);
    program.waitForFinished(30000);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAllStandardError())};
}

QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess program;
    program.start(tool, arguments);
    program.waitForFinished(30000);
    return QString::fromUtf8(program.readAllStandardOutput());
}

QString writtenRecord(const QDir& folder, const QString& name, const QStringList& titles) {
    RecordedRun run{.started = QDateTime(QDate(2026, 12, 10), QTime(9, 0)),
                    .before = std::nullopt,
                    .tracks = {},
                    .checked = {},
                    .notChecked = {},
                    .onDisc = {}};
    for (const QString& title : titles) {
        const int number = static_cast<int>(run.tracks.size()) + 1;
        run.tracks.push_back({.number = number,
                              .title = title,
                              .recorderTitle = title.left(14),
                              .mark = QStringLiteral("recorded"),
                              .length = std::chrono::seconds(100 + number),
                              .source = {.path = folder.filePath(QStringLiteral("%1.flac").arg(number)),
                                         .cue = std::nullopt}});
    }
    QString path = folder.filePath(name + QStringLiteral(".m3u8"));
    EXPECT_EQ(writeDiscRecord(path, {.discName = name, .runs = {run}}), std::nullopt);
    return path;
}

QStringList numbered(const QString& pattern, int count) {
    QStringList titles;
    for (int number = 1; number <= count; ++number) {
        titles << pattern.arg(number);
    }
    return titles;
}

// The disc's name, every title whole and in order, then the total, in the order they are drawn; every word
// inside the insert's width; a list the front holds stays on it (the spine and front are 73 mm high), a
// longer one goes on to the back, however many columns and whatever the script.
TEST(CaseInsert, ShowsTheNameEveryTitleWholeAndTheTotalWithinTheInsert) {
    const QTemporaryDir folder;
    const struct {
        const char* name = nullptr;
        QStringList titles;
        bool back = false;
    } cases[] = {
        {"Summer Mix",
         QStringList{"Intro", "A title long enough to wrap onto a second line and a third one in its column",
                     "Ночной город", "Νυχτερινή πόλη", "Ça plane pour moi"} +
             numbered("Song %1", 9),
         false},
        {"Thirty", numbered("Thirty title %1 is here", 30), false},
        {"Seventy", numbered("No. %1 of seventy", 70), true},
    };
    for (const auto& [name, titles, back] : cases) {
        SCOPED_TRACE(name);
        const QString record = writtenRecord(QDir(folder.path()), QString::fromUtf8(name), titles);
        const QString pdf = folder.filePath(QStringLiteral("insert.pdf"));
        const Ran ran = quorvex({pdf, record});
        ASSERT_EQ(ran.status, 0) << ran.err.toStdString();
        EXPECT_TRUE(poppler("pdfinfo", {pdf}).contains(QRegularExpression("Page size: .*\\(A4\\)")));

        const QString text = poppler("pdftotext", {"-raw", pdf, "-"}).simplified();
        // The spine's name and total come first, then the front's.
        qsizetype at = text.indexOf(QString::fromUtf8(name) + " ", text.indexOf(QString::fromUtf8(name)) + 1);
        ASSERT_GE(at, 0) << text.toStdString();
        for (const QString& title : titles) {
            const qsizetype found = text.indexOf(title, at);
            EXPECT_GT(found, at) << title.toStdString();
            at = std::max(at, found);
        }
        int seconds = 0;
        for (int number = 1; number <= static_cast<int>(titles.size()); ++number) {
            seconds += 100 + number;
        }
        EXPECT_GT(text.indexOf(QStringLiteral("Total %1:%2")
                                   .arg(seconds / 60, 2, 10, QChar('0'))
                                   .arg(seconds % 60, 2, 10, QChar('0')),
                               at),
                  at);

        // Each word's box: <word xMin="…" yMin="…" xMax="…" yMax="…">.
        const QRegularExpression box(
            QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""));
        double left = 1e9;
        double top = 1e9;
        double right = 0;
        double bottom = 0;
        for (const QRegularExpressionMatch& word :
             box.globalMatch(poppler("pdftotext", {"-bbox", pdf, "-"}))) {
            left = std::min(left, word.captured(1).toDouble());
            top = std::min(top, word.captured(2).toDouble());
            right = std::max(right, word.captured(3).toDouble());
            bottom = std::max(bottom, word.captured(4).toDouble());
        }
        EXPECT_LE(right - left, insertmm::width * pointsPerMm);
        EXPECT_EQ(bottom - top > (insertmm::spine + insertmm::panel) * pointsPerMm, back) << bottom - top;
        EXPECT_LE(bottom - top, (insertmm::spine + 2 * insertmm::panel) * pointsPerMm);
    }
}

// Several inserts share a sheet: six to an A4 page, four to a Letter one. A record that cannot be read, a
// PDF that cannot be written and a paper it does not know are refused, naming them, and write nothing.
TEST(CaseInsert, SharesSheetsAndRefusesWhatItCannotDo) {
    const QTemporaryDir folder;
    QStringList records;
    for (int disc = 1; disc <= 7; ++disc) {
        records << writtenRecord(QDir(folder.path()), QStringLiteral("Disc %1").arg(disc), {"One", "Two"});
    }
    const QString pdf = folder.filePath(QStringLiteral("sheets.pdf"));
    const struct {
        QStringList arguments;
        const char* pages = nullptr;
    } sheets[] = {{records.mid(0, 6), "Pages: +1\n.*\\(A4\\)"},
                  {records, "Pages: +2\n"},
                  {QStringList{"--paper", "letter"} + records.mid(0, 4), "Pages: +1\n.*\\(letter\\)"},
                  {QStringList{"--paper", "Letter"} + records.mid(0, 5), "Pages: +2\n"}};
    for (const auto& [arguments, pages] : sheets) {
        const Ran ran = quorvex(QStringList{pdf} + arguments);
        ASSERT_EQ(ran.status, 0) << ran.err.toStdString();
        EXPECT_TRUE(poppler("pdfinfo", {pdf})
                        .contains(QRegularExpression(QString::fromLatin1(pages),
                                                     QRegularExpression::DotMatchesEverythingOption)))
            << pages;
    }

    const QString notRecord = folder.filePath(QStringLiteral("notes.m3u8"));
    QFile notes(notRecord);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("#EXTM3U\nsong.flac\n") > 0);
    notes.close();
    const QString fresh = folder.filePath(QStringLiteral("fresh.pdf"));
    const struct {
        QStringList arguments;
        int status;
        QString said;
    } refused[] = {
        {{fresh, records[0], notRecord}, 1, notRecord},
        {{fresh, folder.filePath("gone.m3u8")}, 1, folder.filePath("gone.m3u8")},
        {{folder.filePath("no/such/folder/x.pdf"), records[0]}, 1, folder.filePath("no/such/folder/x.pdf")},
        {{fresh, "--paper", "a5", records[0]}, 2, "--paper a4|letter"},
        {{fresh}, 2, "usage: quorvex --insert"}};
    for (const auto& [arguments, status, said] : refused) {
        const Ran ran = quorvex(arguments);
        EXPECT_EQ(ran.status, status) << arguments.join(' ').toStdString();
        EXPECT_TRUE(ran.err.contains(said)) << ran.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(fresh));
    }
}

} // namespace
} // namespace quorvex::testing
