#include "widgets/recordeddiscsdialog.h"

#include "tracks/formatseconds.h"
#include "widgets/dialogs.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvex {

namespace {

QString sourceText(const RecordedTrack& track) {
    QString text = track.source.path;
    if (track.source.cue) {
        text += QStringLiteral(" #") + cueTrackNumber(track.source.cue->number);
    }
    return QFileInfo::exists(track.source.path) ? text : text + QStringLiteral(" (missing)");
}

} // namespace

RecordedDiscsDialog::RecordedDiscsDialog(DiscRecords records, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), records(std::move(records)), dialogs(dialogs), filterField(new QLineEdit(this)),
      discs(new QTreeWidget(this)), tracks(new QTreeWidget(this)),
      addButton(new QPushButton(QStringLiteral("Add to Track list"), this)),
      printButton(new QPushButton(QStringLiteral("Print case insert…"), this)),
      deleteButton(new QPushButton(QStringLiteral("Delete record"), this)) {
    setObjectName(QStringLiteral("RecordedDiscsDialog"));
    setWindowTitle(QStringLiteral("Recorded discs"));
    filterField->setObjectName(QStringLiteral("filter"));
    filterField->setPlaceholderText(QStringLiteral("Filter by disc name"));
    filterField->setClearButtonEnabled(true);
    discs->setObjectName(QStringLiteral("discs"));
    discs->setHeaderLabels({QStringLiteral("Disc"), QStringLiteral("Date"), QStringLiteral("Tracks"),
                            QStringLiteral("Time"), QStringLiteral("Checked")});
    discs->setRootIsDecorated(false);
    discs->setUniformRowHeights(true);
    discs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tracks->setObjectName(QStringLiteral("tracks"));
    tracks->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Title"), QStringLiteral("Length"),
                             QStringLiteral("Mark"), QStringLiteral("Source")});
    tracks->setRootIsDecorated(false);
    tracks->setUniformRowHeights(true);
    addButton->setObjectName(QStringLiteral("addToTrackList"));
    printButton->setObjectName(QStringLiteral("printInsert"));
    deleteButton->setObjectName(QStringLiteral("deleteRecord"));
    // Enter adds the chosen record to the Track list; it never deletes one.
    addButton->setDefault(true);
    printButton->setAutoDefault(false);
    deleteButton->setAutoDefault(false);
    auto* const buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(addButton, QDialogButtonBox::ActionRole);
    buttons->addButton(printButton, QDialogButtonBox::ActionRole);
    buttons->addButton(deleteButton, QDialogButtonBox::DestructiveRole);

    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(filterField);
    layout->addWidget(discs, 1);
    layout->addWidget(tracks, 2);
    layout->addWidget(buttons);
    resize(720, 520);

    connect(filterField, &QLineEdit::textChanged, this, &RecordedDiscsDialog::filter);
    connect(discs, &QTreeWidget::currentItemChanged, this, &RecordedDiscsDialog::showChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(addButton, &QPushButton::clicked, this, [this] {
        if (const DiscRecords::Listed* record = chosen()) {
            emit addToTrackList(record->path);
        }
    });
    connect(printButton, &QPushButton::clicked, this, [this] {
        if (const QStringList paths = chosenReadable(); !paths.isEmpty()) {
            emit printInserts(paths);
        }
    });
    connect(deleteButton, &QPushButton::clicked, this, &RecordedDiscsDialog::deleteChosen);
    refresh();
}

void RecordedDiscsDialog::refresh() {
    listed = records.list();
    discs->clear();
    for (std::size_t index = 0; index < listed.size(); ++index) {
        const DiscRecords::Listed& entry = listed[index];
        QStringList columns;
        if (entry.record) {
            const DiscRecord& record = *entry.record;
            columns = {record.shownName(),
                       record.lastRun().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                       QString::number(record.tracks().size()), formatLength(record.totalLength()),
                       record.lastCheck()};
        } else {
            columns = {QFileInfo(entry.path).fileName() + QStringLiteral(" (unreadable)"), {}, {}, {}, {}};
        }
        auto* const item = new QTreeWidgetItem(discs, columns);
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(index));
        item->setToolTip(0, entry.path);
    }
    for (int column = 0; column < discs->columnCount(); ++column) {
        discs->resizeColumnToContents(column);
    }
    filter();
    showChosen();
}

void RecordedDiscsDialog::filter() {
    const QString wanted = filterField->text().trimmed();
    for (int row = 0; row < discs->topLevelItemCount(); ++row) {
        QTreeWidgetItem* const item = discs->topLevelItem(row);
        item->setHidden(!wanted.isEmpty() && !item->text(0).contains(wanted, Qt::CaseInsensitive));
    }
    // The chosen record stays chosen while it is shown; else the first one shown is.
    if (discs->currentItem() == nullptr || discs->currentItem()->isHidden()) {
        QTreeWidgetItem* first = nullptr;
        for (int row = 0; row < discs->topLevelItemCount() && first == nullptr; ++row) {
            first = discs->topLevelItem(row)->isHidden() ? nullptr : discs->topLevelItem(row);
        }
        discs->setCurrentItem(first);
        showChosen();
    }
}

const DiscRecords::Listed* RecordedDiscsDialog::chosen() const {
    const QTreeWidgetItem* const item = discs->currentItem();
    if (item == nullptr || item->isHidden()) {
        return nullptr;
    }
    const auto index = static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
    return index < listed.size() ? &listed[index] : nullptr;
}

QStringList RecordedDiscsDialog::chosenReadable() const {
    QStringList paths;
    for (int row = 0; row < discs->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* const item = discs->topLevelItem(row);
        const auto index = static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
        if ((item->isSelected() || item == discs->currentItem()) && !item->isHidden() &&
            index < listed.size() && listed[index].record) {
            paths << listed[index].path;
        }
    }
    return paths;
}

void RecordedDiscsDialog::showChosen() {
    tracks->clear();
    const DiscRecords::Listed* const record = chosen();
    const bool readable = record != nullptr && record->record.has_value();
    addButton->setEnabled(readable);
    printButton->setEnabled(readable);
    deleteButton->setEnabled(record != nullptr);
    if (!readable) {
        return;
    }
    for (const RecordedTrack& track : record->record->tracks()) {
        new QTreeWidgetItem(tracks, {QString::number(track.number), track.title, formatLength(track.length),
                                     track.mark, sourceText(track)});
    }
    for (int column = 0; column < tracks->columnCount() - 1; ++column) {
        tracks->resizeColumnToContents(column);
    }
}

void RecordedDiscsDialog::deleteChosen() {
    const DiscRecords::Listed* const record = chosen();
    if (record == nullptr) {
        return;
    }
    const QString name = record->record ? record->record->shownName() : QFileInfo(record->path).fileName();
    const int choice =
        dialogs.ask({.text = QStringLiteral("Delete the record of \"%1\"? The disc itself is not "
                                            "touched.")
                                 .arg(name),
                     .title = windowTitle(),
                     .choices = {QStringLiteral("Delete record"), QStringLiteral("Cancel")},
                     .defaultChoice = 1,
                     .escapeChoice = 1});
    if (choice != 0) {
        return;
    }
    if (const std::optional<QString> error = records.remove(record->path)) {
        dialogs.show(
            {.text = QStringLiteral("The record \"%1\" could not be deleted: %2").arg(record->path, *error),
             .title = windowTitle(),
             .icon = QMessageBox::Warning});
    }
    refresh();
}

} // namespace quorvex
