// The window's side of a recording run: the Record button, the question before a run, and the run's feedback
// shown in the window.
#include "app/frmquorvex.h"
#include "app/messages.h"
#include "app/soundoutputmenu.h"
#include "platform/sessionbus.h"
#include "run/discrecords.h"
#include "run/recordingrun.h"
#include "tracks/formatseconds.h"
#include "widgets/clickablelabel.h"
#include "widgets/mediaplayerbar.h"
#include "widgets/tracklist.h"

#include <cmath>
#include <initializer_list>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <utility>

namespace quorvex {

void frmQuorvex::btnRecordList_Click() {
    if (session.isRecording()) {
        session.requestStop();
        return;
    }
    // A run inside a disc query's wait would take its answer, and the label would show the run's bytes.
    if (session.recorder().askingDisc()) {
        return;
    }
    // The recorder hears only what reaches its output: without it nothing is recorded.
    if (!outputs->chosenIsConnected()) {
        platform.dialogs->show(
            {.text = QStringLiteral("The sound output \"%1\" is not connected. Connect it or "
                                    "choose another in Disc ▸ Sound output.")
                         .arg(outputs->chosenLabel()),
             .title = QString::fromLatin1(text::applicationTitle),
             .icon = QMessageBox::Warning});
        return;
    }
    if (std::optional<std::vector<int>> entries = planEntries()) {
        recordPlan(std::move(*entries));
    }
}

std::optional<std::vector<int>> frmQuorvex::planEntries() {
    std::vector<int> all;
    std::vector<int> notRecorded;
    for (int row = 0; row < session.entries().count(); ++row) {
        all.push_back(row);
        if (entryMark(row).state != EntryState::recorded) {
            notRecorded.push_back(row);
        }
    }
    if (notRecorded.size() == all.size()) {
        return all;
    }
    const QString title = QString::fromLatin1(text::applicationTitle);
    const QString recordAll = QStringLiteral("Record all again");
    const QString cancel = QStringLiteral("Cancel");
    if (notRecorded.empty()) {
        const int choice =
            platform.dialogs->ask({.text = QStringLiteral("All %1 entries are recorded.").arg(all.size()),
                                   .title = title,
                                   .choices = {recordAll, cancel},
                                   .defaultChoice = 0,
                                   .escapeChoice = 1});
        return choice == 0 ? std::optional(all) : std::nullopt;
    }
    const int choice =
        platform.dialogs->ask({.text = QStringLiteral("%1 of the %2 entries are not recorded yet.")
                                           .arg(notRecorded.size())
                                           .arg(all.size()),
                               .title = title,
                               .choices = {QStringLiteral("Continue"), recordAll, cancel},
                               .defaultChoice = 0,
                               .escapeChoice = 2});
    if (choice == 0) {
        return notRecorded;
    }
    return choice == 1 ? std::optional(all) : std::nullopt;
}

void frmQuorvex::recordPlan(std::vector<int> entries) {
    const QString caption = windowTitle();
    runDiscName = ui.txtTitle->text().trimmed();
    showRunUnderWay(true);
    const RunSummary summary = session.record({.entries = std::move(entries),
                                               .discMinutes = discMinutesChosen,
                                               .gapless = gaplessChosen,
                                               .level = levelChosen},
                                              *this);
    if (!isActiveWindow()) {
        platform.bus->notify(runSummaryText(summary));
    }

    setWindowTitle(caption);
    showRunUnderWay(false);
    // The label shows the disc as read back after the run.
    if (summary.check && summary.check->read.answered) {
        ui.lblTrackInfo->setText(discLabelText(summary.check->read.disc));
        ui.lblTrackInfo->setToolTip(discToolTipText(summary.check->read.disc));
    }
    updateListSummary();
    if (const std::optional<QString> notSaved =
            saveRunRecord(DiscRecords(), runDiscName, session.recordedRun(summary))) {
        setStatusLine(*notSaved);
    }
    // What the run had to say comes once it is over, with the Record button back.
    for (const Notice& notice : std::exchange(runNotices, {})) {
        showNotice(notice);
    }
}

void frmQuorvex::showRunUnderWay(bool underWay) {
    // The button is narrow: the short caption, and the whole of it in the tool tip.
    ui.btnRecordList->setText(underWay ? QStringLiteral("Stop") : QStringLiteral("Record"));
    ui.btnRecordList->setToolTip(underWay ? QStringLiteral("Stop recording") : QString());
    // What cannot act during a run says so by being disabled: a disc query would take the run's answers, a
    // new device would pull the line from under it, and the run walks the Track list by position.
    for (QWidget* control :
         std::initializer_list<QWidget*>{ui.btnCheckTracks, ui.lblTrackInfo, ui.btnRemove}) {
        control->setEnabled(!underWay);
    }
    for (QAction* action : {menus.checkDisc, menus.serialDevice}) {
        action->setEnabled(!underWay);
    }
    menus.level->setEnabled(!underWay);
    // The run plays at the program's level: the listener's volume and mute are put back as they were after
    // it.
    ui.MediaPlayer1->holdListenerLevel(underWay);
    ui.ListOfMusic->setReordering(!underWay);
    ui.listSummary->setVisible(!underWay);
    ui.runProgress->setValue(0);
    ui.runProgress->setVisible(underWay);
    if (!underWay && discNameAfterRun) {
        nameDiscNow();
    }
}

void frmQuorvex::showEntry(int index) {
    ui.ListOfMusic->setCurrentRow(index);
}

void frmQuorvex::setStatusLine(const QString& text) {
    ui.statusLine->setText(text);
}

void frmQuorvex::showRunProgress(const RunProgress& progress) {
    ui.runProgress->setValue(static_cast<int>(std::lround(progress.done * runProgressSteps)));
    setWindowTitle(QStringLiteral("%1 — %2 of %3, %4 left")
                       .arg(QString::fromLatin1(text::windowCaption))
                       .arg(progress.current)
                       .arg(progress.count)
                       .arg(formatSeconds(progress.secondsLeft)));
}

bool frmQuorvex::askRecordAnyway(const QString& question) {
    return platform.dialogs->ask({.text = question,
                                  .title = QString::fromLatin1(text::applicationTitle),
                                  .choices = {QStringLiteral("Record anyway"), QStringLiteral("Cancel")},
                                  .defaultChoice = 1,
                                  .escapeChoice = 1}) == 0;
}

void frmQuorvex::updateListSummary() {
    if (!session.isRecording()) {
        ui.listSummary->setText(session.entries().summaryText());
    }
}

void frmQuorvex::showNotice(const Notice& notice) {
    if (session.isRecording()) {
        runNotices.push_back(notice);
        return;
    }
    const auto icon = notice.severity == Severity::critical  ? QMessageBox::Critical
                      : notice.severity == Severity::warning ? QMessageBox::Warning
                                                             : QMessageBox::NoIcon;
    platform.dialogs->show({.text = notice.text, .title = notice.title, .icon = icon});
}

} // namespace quorvex
