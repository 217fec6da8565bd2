#include "app/insertcommand.h"

#include "run/discrecord.h"
#include "widgets/caseinsert.h"

#include <cstdio>
#include <QGuiApplication>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <span>
#include <string_view>
#include <vector>

namespace quorvex {

namespace {

constexpr int written = 0;
constexpr int failed = 1;
constexpr int wrongArguments = 2;
constexpr double pageMarginMm = 8;

int say(const QString& text, int status) {
    std::fprintf(stderr, "quorvex: %s\n", text.toLocal8Bit().constData());
    return status;
}

// The sheet: as asked, else the one the locale's measures use (Letter in the US, A4 elsewhere).
std::optional<QPageSize> paper(const QString& asked) {
    if (asked.isEmpty()) {
        return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                             ? QPageSize::Letter
                             : QPageSize::A4);
    }
    if (asked.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0) {
        return QPageSize(QPageSize::A4);
    }
    if (asked.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0) {
        return QPageSize(QPageSize::Letter);
    }
    return std::nullopt;
}

} // namespace

std::optional<int> insertCommand(int argc, char** argv) {
    const std::span<char*> given(argv, static_cast<std::size_t>(std::max(argc, 0)));
    if (std::none_of(given.begin(), given.end(), [](const char* argument) {
            return argument != nullptr && std::string_view(argument) == "--insert";
        })) {
        return std::nullopt;
    }
    // Drawing needs a platform plugin, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    QStringList arguments = QGuiApplication::arguments();
    arguments.removeFirst();
    QString pdf;
    QString paperAsked;
    QStringList records;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        if ((argument == QLatin1String("--insert") || argument == QLatin1String("--paper")) &&
            index + 1 < arguments.size()) {
            (argument == QLatin1String("--insert") ? pdf : paperAsked) = arguments[++index];
        } else if (argument.startsWith(QLatin1String("--"))) {
            return say(QStringLiteral("--insert takes a PDF file and disc records: quorvex --insert FILE.pdf "
                                      "[--paper a4|letter] RECORD..., not \"%1\"")
                           .arg(argument),
                       wrongArguments);
        } else {
            records << argument;
        }
    }
    const std::optional<QPageSize> pageSize = paper(paperAsked);
    if (pdf.isEmpty() || records.isEmpty() || !pageSize) {
        return say(QStringLiteral("usage: quorvex --insert FILE.pdf [--paper a4|letter] RECORD..."),
                   wrongArguments);
    }

    std::vector<CaseInsert> inserts;
    for (const QString& path : records) {
        const std::optional<DiscRecord> record = readDiscRecord(path);
        if (!record) {
            return say(QStringLiteral("\"%1\" is no disc record Quorvex can read").arg(path), failed);
        }
        inserts.push_back(caseInsert(*record));
    }
    // Written whole or not at all: an old file of that name stays until the new one is complete.
    QSaveFile file(pdf);
    if (!file.open(QIODevice::WriteOnly)) {
        return say(QStringLiteral("\"%1\" could not be written: %2").arg(pdf, file.errorString()), failed);
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(*pageSize);
        writer.setPageMargins(QMarginsF(pageMarginMm, pageMarginMm, pageMarginMm, pageMarginMm),
                              QPageLayout::Millimeter);
        writer.setCreator(QStringLiteral("Quorvex"));
        writer.setTitle(inserts.front().discName);
        if (!printCaseInserts(writer, inserts)) {
            file.cancelWriting();
            return say(QStringLiteral("\"%1\" could not be drawn").arg(pdf), failed);
        }
    }
    if (!file.commit()) {
        return say(QStringLiteral("\"%1\" could not be written: %2").arg(pdf, file.errorString()), failed);
    }
    return written;
}

} // namespace quorvex
