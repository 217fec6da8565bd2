#include "widgets/caseinsert.h"

#include "tracks/formatseconds.h"

#include <algorithm>
#include <optional>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <utility>

namespace quorvex {

namespace {

constexpr double millimetresPerInch = 25.4;
constexpr double margin = 2.5;     // inside a panel, mm
constexpr double columnGap = 3;    // mm
constexpr double blockGap = 0.15;  // between two tracks, in lines
constexpr double surround = 4.5;   // room around an insert for its marks, mm
constexpr double markGap = 1;      // between an edge and its mark, mm
constexpr double markLength = 3.5; // mm
constexpr double markWidth = 0.15; // mm
constexpr double headingScale = 1.4;
constexpr double largestPoints = 8;
constexpr double smallestOnFront = 4; // below this the tracks rather go on to the back panel
constexpr double smallestPoints = 2;
constexpr double pointStep = 0.25;
constexpr double spinePoints = 7;
constexpr double smallestSpinePoints = 3;
constexpr int oneColumnTracks = 30;
constexpr int mostColumns = 8;

QFont bodyFont(double points) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    return font;
}

QFont headingFont(double points) {
    QFont font = bodyFont(points * headingScale);
    font.setBold(true);
    return font;
}

// The lines a text takes at the width: broken between words, a word wider than the width anywhere in it.
QStringList wrapped(const QString& text, const QFont& font, double width, QPaintDevice* device) {
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.isEmpty() ? QStringList{QString()} : lines;
}

// One entry of the list: a track, or the total after the last one.
struct Block {
    QString number; // empty for the total
    QStringList lines;
    QString length;
};

struct Placed {
    int panel = 0;
    int column = 0;
    double top = 0; // within the panel's text, device units
};

// The insert's text at one size: the disc's name across the front, the list in columns on the front and, if
// the layout has one, on the back.
struct Layout {
    double points = largestPoints;
    int columns = 1;
    int panels = 1;
    QStringList heading;
    std::vector<Block> blocks;
    std::vector<Placed> placed;
    bool fits = false;
};

class InsertPainter {
public:
    InsertPainter(QPainter& painter, QPaintDevice& device)
        : painter(painter), device(device), perMm(device.logicalDpiX() / millimetresPerInch) {}

    [[nodiscard]] double mm(double millimetres) const { return millimetres * perMm; }
    [[nodiscard]] double pageWidth() const { return device.width() / perMm; }
    [[nodiscard]] double pageHeight() const { return device.height() / perMm; }

    // The largest text that shows every track whole: on the front alone when it fits there at a size still
    // easy to read, else on the front and the back; many columns only when nothing else holds them.
    [[nodiscard]] Layout layout(const CaseInsert& insert) const {
        const int columns = insert.tracks.size() <= oneColumnTracks ? 1 : 2;
        Layout last;
        for (const int panels : {1, 2}) {
            const double smallest = panels == 1 ? smallestOnFront : smallestPoints;
            for (double points = largestPoints; points >= smallest - pointStep / 2; points -= pointStep) {
                last = laidOut(insert, points, columns, panels);
                if (last.fits) {
                    return last;
                }
            }
        }
        for (int more = columns + 1; more <= mostColumns; ++more) {
            last = laidOut(insert, smallestPoints, more, 2);
            if (last.fits) {
                return last;
            }
        }
        return last;
    }

    // The insert with its top left corner at (x, y) mm on the page, and its marks around it.
    void paint(const CaseInsert& insert, const Layout& layout, double x, double y) const {
        const double height = insertHeight(layout);
        marks(x, y, height, layout.panels);
        spine(insert, x, y + insertmm::flap);
        const double front = y + insertmm::flap + insertmm::spine;
        painter.setPen(Qt::black);
        const QFont heading = headingFont(layout.points);
        const QFontMetricsF headingMetrics(heading, &device);
        painter.setFont(heading);
        double line = mm(front + margin);
        for (const QString& text : layout.heading) {
            painter.drawText(QPointF(mm(x + margin), line + headingMetrics.ascent()), text);
            line += headingMetrics.lineSpacing();
        }
        const QFont body = bodyFont(layout.points);
        const QFontMetricsF metrics(body, &device);
        painter.setFont(body);
        const double columnWidth = this->columnWidth(layout.columns);
        for (std::size_t index = 0; index < layout.blocks.size(); ++index) {
            const Block& block = layout.blocks[index];
            const Placed& at = layout.placed[index];
            const double left = mm(x + margin) + at.column * (columnWidth + mm(columnGap));
            const double top = mm(front + insertmm::panel * at.panel + margin) + at.top +
                               (at.panel == 0 ? headingHeight(layout) : 0);
            const double numberWidth = metrics.horizontalAdvance(QStringLiteral("000"));
            painter.drawText(QPointF(left + numberWidth - metrics.horizontalAdvance(block.number) -
                                         metrics.horizontalAdvance(QLatin1Char(' ')),
                                     top + metrics.ascent()),
                             block.number);
            double baseline = top + metrics.ascent();
            for (const QString& text : block.lines) {
                painter.drawText(QPointF(left + numberWidth, baseline), text);
                baseline += metrics.lineSpacing();
            }
            painter.drawText(
                QPointF(left + columnWidth - metrics.horizontalAdvance(block.length), top + metrics.ascent()),
                block.length);
        }
    }

    [[nodiscard]] static double insertHeight(const Layout& layout) {
        return insertmm::flap + insertmm::spine + insertmm::panel * layout.panels;
    }

private:
    [[nodiscard]] double columnWidth(int columns) const {
        return (mm(insertmm::width - 2 * margin) - (columns - 1) * mm(columnGap)) / columns;
    }

    [[nodiscard]] double headingHeight(const Layout& layout) const {
        const QFontMetricsF metrics(headingFont(layout.points), &device);
        return static_cast<double>(layout.heading.size()) * metrics.lineSpacing() + metrics.lineSpacing() / 2;
    }

    [[nodiscard]] Layout laidOut(const CaseInsert& insert, double points, int columns, int panels) const {
        Layout layout;
        layout.points = points;
        layout.columns = columns;
        layout.panels = panels;
        layout.heading =
            wrapped(insert.discName, headingFont(points), mm(insertmm::width - 2 * margin), &device);
        const QFont body = bodyFont(points);
        const QFontMetricsF metrics(body, &device);
        const double lengthWidth = metrics.horizontalAdvance(QStringLiteral(" 000:00"));
        const double titleWidth =
            std::max(columnWidth(columns) - metrics.horizontalAdvance(QStringLiteral("000")) - lengthWidth,
                     metrics.averageCharWidth());
        for (const RecordedTrack& track : insert.tracks) {
            layout.blocks.push_back(
                {.number = QStringLiteral("%1").arg(track.number, 2, 10, QLatin1Char('0')),
                 .lines = wrapped(track.title, body, titleWidth, &device),
                 .length = formatLength(track.length)});
        }
        layout.blocks.push_back(
            {.number = {}, .lines = {QStringLiteral("Total")}, .length = formatLength(insert.total)});

        const double panelText = mm(insertmm::panel - 2 * margin);
        Placed at;
        double bottom = panelText - headingHeight(layout);
        for (const Block& block : layout.blocks) {
            const double height =
                (static_cast<double>(block.lines.size()) + blockGap) * metrics.lineSpacing();
            while (at.top + height > bottom) {
                at.top = 0;
                if (++at.column == columns) {
                    at.column = 0;
                    if (++at.panel == panels) {
                        return layout;
                    }
                    bottom = panelText;
                }
            }
            layout.placed.push_back(at);
            at.top += height;
        }
        layout.fits = true;
        return layout;
    }

    // The disc's name and the total, on one line as large as the spine lets them; a name too long even in
    // the smallest letters ends in "…" (the front shows it whole).
    void spine(const CaseInsert& insert, double x, double y) const {
        const double width = mm(insertmm::width - 2 * margin);
        const QString total = formatLength(insert.total);
        double points = spinePoints;
        QFont font = bodyFont(points);
        font.setBold(true);
        for (;; points -= pointStep) {
            font.setPointSizeF(points);
            const QFontMetricsF metrics(font, &device);
            const bool fits =
                metrics.height() <= mm(insertmm::spine) * 0.9 &&
                metrics.horizontalAdvance(insert.discName + QStringLiteral("   ") + total) <= width;
            if (fits || points <= smallestSpinePoints) {
                break;
            }
        }
        const QFontMetricsF metrics(font, &device);
        const double totalWidth = metrics.horizontalAdvance(total);
        const QString name =
            metrics.elidedText(insert.discName, Qt::ElideRight,
                               width - totalWidth - metrics.horizontalAdvance(QStringLiteral("   ")));
        const double baseline = mm(y) + (mm(insertmm::spine) - metrics.height()) / 2 + metrics.ascent();
        painter.setPen(Qt::black);
        painter.setFont(font);
        painter.drawText(QPointF(mm(x + margin), baseline), name);
        painter.drawText(QPointF(mm(x + margin) + width - totalWidth, baseline), total);
    }

    // Cut marks off each corner, along both edges; a fold mark beside each fold on both sides.
    void marks(double x, double y, double height, int panels) const {
        QPen pen(Qt::gray);
        pen.setWidthF(mm(markWidth));
        painter.setPen(pen);
        const double right = x + insertmm::width;
        const double bottom = y + height;
        for (const double edge : {x, right}) {
            const double outward = edge == x ? -1 : 1;
            for (const double across : {y, bottom}) {
                const double away = across == y ? -1 : 1;
                line(edge + outward * markGap, across, edge + outward * (markGap + markLength), across);
                line(edge, across + away * markGap, edge, across + away * (markGap + markLength));
            }
        }
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        std::vector<double> folds{y + insertmm::flap, y + insertmm::flap + insertmm::spine};
        if (panels > 1) {
            folds.push_back(y + insertmm::flap + insertmm::spine + insertmm::panel);
        }
        for (const double fold : folds) {
            line(x - markGap - markLength, fold, x - markGap, fold);
            line(right + markGap, fold, right + markGap + markLength, fold);
        }
    }

    void line(double x1, double y1, double x2, double y2) const {
        painter.drawLine(QPointF(mm(x1), mm(y1)), QPointF(mm(x2), mm(y2)));
    }

    QPainter& painter;
    QPaintDevice& device;
    double perMm;
};

} // namespace

CaseInsert caseInsert(const DiscRecord& record) {
    return caseInsert(record.shownName(), record.tracksAsOnDisc());
}

CaseInsert caseInsert(QString discName, std::vector<RecordedTrack> tracks) {
    std::chrono::milliseconds total{0};
    for (const RecordedTrack& track : tracks) {
        total += track.length.value_or(std::chrono::milliseconds{0});
    }
    return {.discName = std::move(discName), .tracks = std::move(tracks), .total = total};
}

bool printCaseInserts(QPagedPaintDevice& device, std::span<const CaseInsert> inserts) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const InsertPainter insertPainter(painter, device);
    // Row by row, left to right; a page holds as many as fit, and at least one.
    double x = 0;
    double y = 0;
    double rowHeight = 0;
    for (const CaseInsert& insert : inserts) {
        const Layout layout = insertPainter.layout(insert);
        const double width = insertmm::width + 2 * surround;
        const double height = InsertPainter::insertHeight(layout) + 2 * surround;
        if (x > 0 && x + width > insertPainter.pageWidth()) {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        if (y > 0 && y + height > insertPainter.pageHeight()) {
            device.newPage();
            x = 0;
            y = 0;
            rowHeight = 0;
        }
        insertPainter.paint(insert, layout, x + surround, y + surround);
        x += width;
        rowHeight = std::max(rowHeight, height);
    }
    return painter.end();
}

} // namespace quorvex
