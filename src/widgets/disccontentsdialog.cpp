#include "widgets/disccontentsdialog.h"

#include "tracks/formatseconds.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvex {

DiscContentsDialog::DiscContentsDialog(QWidget* parent)
    : QDialog(parent), summary(new QLabel(this)), tracks(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("DiscContentsDialog"));
    setWindowTitle(QStringLiteral("Disc"));
    summary->setObjectName(QStringLiteral("discSummary"));
    tracks->setObjectName(QStringLiteral("discTracks"));
    tracks->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Time"), QStringLiteral("Name")});
    tracks->setRootIsDecorated(false);
    tracks->setUniformRowHeights(true);
    tracks->setAccessibleName(QStringLiteral("Tracks on the disc"));
    auto* const buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(tracks, 1);
    layout->addWidget(buttons);
    resize(480, 420);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void DiscContentsDialog::showDisc(const ReadBack& disc) {
    const QString label = discLabelText(disc.disc);
    summary->setText(disc.disc.model.isEmpty() ? label
                                               : QStringLiteral("%1: %2").arg(disc.disc.model, label));
    tracks->clear();
    for (const ReadBack::Track& track : disc.tracks) {
        const QString time = track.seconds ? formatLength(std::chrono::seconds{*track.seconds}) : QString();
        auto* const item = new QTreeWidgetItem(
            tracks, {QString::number(track.number), time, track.name.value_or(QString())});
        item->setTextAlignment(0, Qt::AlignRight);
        item->setTextAlignment(1, Qt::AlignRight);
    }
    for (int column = 0; column < tracks->columnCount() - 1; ++column) {
        tracks->resizeColumnToContents(column);
    }
    show();
    raise();
    activateWindow();
}

} // namespace quorvex
