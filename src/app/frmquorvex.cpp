#include "app/frmquorvex.h"

#include "app/checkboxvalue.h"
#include "app/messages.h"
#include "app/soundoutputmenu.h"
#include "platform/mediaplayer.h"
#include "platform/settingvalues.h"
#include "platform/uilanguage.h"
#include "run/discrecords.h"
#include "tracks/playlist.h"
#include "version.h"
#include "widgets/caseinsert.h"
#include "widgets/clickablelabel.h"
#include "widgets/dirlistbox.h"
#include "widgets/drivelistbox.h"
#include "widgets/filelistbox.h"
#include "widgets/recordeddiscsdialog.h"
#include "widgets/tracklist.h"

#include <cstdio>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

// The window's icon is compiled into this library; a static library's resources must be registered by hand.
static void registerResources() {
    Q_INIT_RESOURCE(quorvex);
}

namespace quorvex {

frmQuorvex::frmQuorvex(Platform platformSet, QWidget* parent)
    : QMainWindow(parent), platform(std::move(platformSet)), session({.serial = *platform.serial,
                                                                      .pump = *platform.pump,
                                                                      .player = *platform.player,
                                                                      .bus = *platform.bus}),
      ui(buildControls(*this, *platform.player)), menus(buildMenuBar(*this)) {
    registerResources();
    setObjectName(QStringLiteral("frmQuorvex"));
    setWindowTitle(QString::fromLatin1(text::windowCaption));
    setWindowIcon(QIcon(QStringLiteral(":/quorvex/quorvex.png")));
    ui.Label2->setText(QString::fromLatin1(text::contactLine));
    showPortDevices();
    ui.ListOfMusic->setEntries(&session.entries());
    outputs = std::make_unique<SoundOutputMenu>(*menus.soundOutput, *platform.player, *platform.settings);
    connectControls();
    ui.btnPlay->setFocus();
    // The menu bar stands above the client area, which keeps its size and every control its place.
    setFixedHeight(height() + menuBar()->sizeHint().height());

    // The only clock of the link: it ticks from now on, also while start-up runs and before the window shows.
    constexpr int tickInterval = 100;
    Timer1.setParent(this);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(tickInterval);
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.start();

    constexpr int summaryDelayMs = 100;
    summaryDue.setParent(this);
    summaryDue.setSingleShot(true);
    summaryDue.setInterval(summaryDelayMs);
    connect(&summaryDue, &QTimer::timeout, this, &frmQuorvex::updateListSummary);
}

frmQuorvex::~frmQuorvex() {
    // The entries go before the controls do.
    ui.ListOfMusic->setEntries(nullptr);
}

void frmQuorvex::connectControls() {
    // Recorder buttons: each sends its command and returns.
    connect(ui.btnOn, &QPushButton::clicked, this, &frmQuorvex::btnOn_Click);
    connect(ui.btnOff, &QPushButton::clicked, this, &frmQuorvex::btnOff_Click);
    connect(ui.btnPlay, &QPushButton::clicked, this, &frmQuorvex::btnPlay_Click);
    connect(ui.btnStop, &QPushButton::clicked, this, &frmQuorvex::btnStop_Click);
    connect(ui.btnBack, &QPushButton::clicked, this, &frmQuorvex::btnBack_Click);
    connect(ui.btnForward, &QPushButton::clicked, this, &frmQuorvex::btnForward_Click);

    // Disc name and disc information.
    connect(ui.txtTitle, &QLineEdit::textChanged, this, &frmQuorvex::txtTitle_Change);
    connect(ui.btnCheckTracks, &QPushButton::clicked, this, &frmQuorvex::btnCheckTracks_Click);
    connect(ui.lblTrackInfo, &ClickableLabel::clicked, this, &frmQuorvex::lblTrackInfo_Click);

    // Source browser: drive -> directory -> files, and the Track list.
    connect(ui.DriveList, &DriveListBox::driveChanged, this, &frmQuorvex::DriveList_Change);
    connect(ui.DirList, &DirListBox::pathChanged, this, &frmQuorvex::DirList_Change);
    connect(ui.FileList, &QListWidget::itemDoubleClicked, this, &frmQuorvex::FileList_DblClick);
    connect(ui.btnRemove, &QPushButton::clicked, this, &frmQuorvex::btnRemove_Click);
    connect(ui.btnRecordList, &QPushButton::clicked, this, &frmQuorvex::btnRecordList_Click);
    connect(ui.ListOfMusic, &QAbstractItemView::doubleClicked, this, &frmQuorvex::ListOfMusic_DblClick);
    connect(ui.ListOfMusic, &TrackList::urlsDropped, this, &frmQuorvex::addDroppedUrls);
    // The keys of the two lists: Enter adds the chosen file or previews the chosen entry, Delete removes it,
    // Ctrl+Up and Ctrl+Down move it.
    const auto key = [this](QWidget* widget, QKeyCombination combination, auto handler) {
        connect(new QShortcut(QKeySequence(combination), widget, nullptr, nullptr, Qt::WidgetShortcut),
                &QShortcut::activated, this, handler);
    };
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        key(ui.FileList, QKeyCombination(enter), &frmQuorvex::FileList_DblClick);
        key(ui.ListOfMusic, QKeyCombination(enter), &frmQuorvex::ListOfMusic_DblClick);
    }
    key(ui.ListOfMusic, QKeyCombination(Qt::Key_Delete), &frmQuorvex::btnRemove_Click);
    key(ui.ListOfMusic, Qt::CTRL | Qt::Key_Up, [this] { moveEntry(-1); });
    key(ui.ListOfMusic, Qt::CTRL | Qt::Key_Down, [this] { moveEntry(1); });

    // A file the player cannot play is said at once, naming the file, after the player's own event has
    // been handled. A recording run lists the files it could not play once, at its end, instead.
    connect(platform.player.get(), &MediaPlayer::failed, this, [this](const QString&, const QString& reason) {
        if (!session.isRecording()) {
            QMetaObject::invokeMethod(
                this, [this, reason] { showPlayerFailure(reason); }, Qt::QueuedConnection);
        }
    });
    connect(platform.player.get(), &MediaPlayer::outputFailed, this,
            [this](const QString&, const QString& reason) {
                if (!session.isRecording()) {
                    QMetaObject::invokeMethod(
                        this, [this, reason] { showPlayerFailure(noSoundOutputText(reason)); },
                        Qt::QueuedConnection);
                }
            });
    // The demo plays where no sound output can be opened, in silence: said once.
    connect(platform.player.get(), &MediaPlayer::playingSilently, this, [this] {
        if (!toldSilent) {
            toldSilent = true;
            setStatusLine(QStringLiteral("No sound output: the demo plays silently."));
        }
    });

    // The menu bar.
    connect(menus.addFiles, &QAction::triggered, this, &frmQuorvex::addFiles_Click);
    connect(menus.addFolder, &QAction::triggered, this, &frmQuorvex::addFolder_Click);
    connect(menus.saveList, &QAction::triggered, this, &frmQuorvex::saveList_Click);
    connect(menus.quit, &QAction::triggered, this, &QWidget::close);
    connect(menus.asciiTitles, &QAction::triggered, this, [this](bool checked) {
        rememberSwitch(setting::asciiTitles, checked);
        session.titles().setPlainAscii(checked);
    });
    connect(ui.tickUseID3, &QCheckBox::stateChanged, this,
            [this] { session.titles().setUseTags(checkBoxValue(*ui.tickUseID3) != 0); });
    connect(menus.gapless, &QAction::triggered, this,
            [this](bool checked) { rememberSwitch(setting::gapless, checked); });
    // What the next run uses is kept as the menu changes, whoever changed it.
    connect(menus.gapless, &QAction::toggled, this, [this](bool on) { gaplessChosen = on; });
    for (QAction* length : menus.discLengths) {
        connect(length, &QAction::triggered, this, [this, length] { discLength_Click(length); });
        connect(length, &QAction::toggled, this, [this, length](bool on) {
            if (on) {
                discMinutesChosen = length->data().toInt();
            }
        });
    }
    connect(menus.send44k, &QAction::triggered, this, [this](bool checked) {
        rememberSwitch(setting::send44k, checked);
        platform.player->setSend44k(checked);
    });
    // The level is the player's at once, so a preview sounds as the disc will.
    for (QAction* level : menus.levels) {
        connect(level, &QAction::toggled, this, [this, level](bool on) {
            if (on) {
                levelChosen = levelFromSetting(level->data().toString());
                platform.player->setLevel(levelChosen);
            }
        });
        connect(level, &QAction::triggered, this,
                [this, level] { platform.settings->save(setting::level, level->data().toString()); });
    }
    connect(menus.serialDevice, &QAction::triggered, this, &frmQuorvex::serialDevice_Click);
    connect(menus.saveTrace, &QAction::triggered, this, &frmQuorvex::saveTrace_Click);
    constexpr int typingPauseMs = 1000;
    discNameDue.setSingleShot(true);
    discNameDue.setInterval(typingPauseMs);
    connect(&discNameDue, &QTimer::timeout, this, &frmQuorvex::nameDiscNow);
    connect(menus.recordedDiscs, &QAction::triggered, this, &frmQuorvex::recordedDiscs_Click);
    connect(menus.printInsert, &QAction::triggered, this, &frmQuorvex::printInsert_Click);
    connect(menus.checkDisc, &QAction::triggered, this, &frmQuorvex::btnCheckTracks_Click);
    connect(menus.about, &QAction::triggered, this, &frmQuorvex::about_Click);

    // Tags and lengths read on the worker.
    connect(&session.trackInfo(), &TrackInfoCache::infoRead, this, &frmQuorvex::showTrackInfo);
    connect(&session.feed(), &TrackListFeed::refused, this, [this](const std::vector<Refused>& refused) {
        platform.dialogs->show({.text = refusedEntriesText(refused),
                                .title = QString::fromLatin1(text::applicationTitle),
                                .icon = QMessageBox::Warning});
    });
    // The Track list's count and time follow every change of the list.
    connect(&session.entries(), &QAbstractItemModel::rowsInserted, this, &frmQuorvex::updateListSummary);
    connect(&session.entries(), &QAbstractItemModel::rowsRemoved, this, &frmQuorvex::updateListSummary);
    connect(&session.entries(), &QAbstractItemModel::modelReset, this, &frmQuorvex::updateListSummary);

    // The Tick.
    connect(&Timer1, &QTimer::timeout, this, &frmQuorvex::Timer1_Timer);

    // Port choice: a click on an option button, the one already chosen included.
    connect(ui.optComGroup, &QButtonGroup::idClicked, this, &frmQuorvex::optCom_Click);

    // Pause mode: every change of the box's value, whoever made it.
    connect(ui.chkInsertPauses, &QCheckBox::stateChanged, this, &frmQuorvex::chkInsertPauses_Click);

    connectRecorder();
}

void frmQuorvex::Form_Load() {
    // A first start with exactly one USB serial adapter puts Com1 on it: that is the recorder's cable.
    if (platform.settings->isFirstStart()) {
        if (const std::optional<QString> adapter = firstStartDevice(platform.serial->systemDevices())) {
            platform.settings->save(setting::commport, setting::deviceKey(1), *adapter);
            showPortDevices();
        }
    }
    selectPort(portNumberFromSetting(platform.settings->read(setting::com)));
    ui.tickUseID3->setCheckState(useId3FromSetting(platform.settings->read(setting::useId3)));
    menus.asciiTitles->setChecked(rememberedSwitch(setting::asciiTitles));
    session.titles().setUseTags(checkBoxValue(*ui.tickUseID3) != 0);
    session.titles().setLanguage(uiLanguage(localeVariables()));
    session.titles().setPlainAscii(menus.asciiTitles->isChecked());
    menus.gapless->setChecked(rememberedSwitch(setting::gapless));
    menus.send44k->setChecked(rememberedSwitch(setting::send44k));
    platform.player->setSend44k(menus.send44k->isChecked());
    const Level level = levelFromSetting(platform.settings->read(setting::level));
    for (QAction* entry : menus.levels) {
        entry->setChecked(entry->data().toString() == levelText(level));
    }
    platform.player->setLevel(level);
    const int minutes = discMinutesFromSetting(platform.settings->read(setting::discLength));
    for (QAction* length : menus.discLengths) {
        length->setChecked(length->data().toInt() == minutes);
    }
    updateListSummary();
    // The remembered drive and directory are applied (a vanished one is passed over), then replaced below:
    // the browser always starts on the root volume.
    const QString startDirectory = QDir::currentPath();
    ui.DriveList->setDrive(platform.settings->read(setting::disk));
    ui.DirList->setPath(directoryFromSetting(platform.settings->read(setting::dir), startDirectory));
    // The freshly opened line gets a moment, then the recorder is switched on (a deck: its remote mode).
    startRecorder();
    // The source browser always starts on the root volume, in the directory the program was started from.
    ui.DriveList->setDrive(QStringLiteral("c:"));
    ui.DirList->setPath(directoryFromSetting(QStringLiteral("c:"), startDirectory));
    setWindowTitle(QStringLiteral("%1    V%2.%3.%4")
                       .arg(QString::fromLatin1(text::windowCaption))
                       .arg(version::major)
                       .arg(version::minor)
                       .arg(version::revision));
    // The label from the recorder's answer; a deck's list of tracks waits for Check disc.
    refreshDiscInfo();
}

void frmQuorvex::Form_Unload() {
    // Closing again while shut-down waits changes nothing.
    if (unloading) {
        return;
    }
    unloading = true;
    // A run that is cut off would leave the recorder recording silence until the disc is full: it is
    // stopped whatever pause mode says.
    if (session.isRecording()) {
        session.recorder().stopNow();
    }
    // The tracks made so far stay on the disc, and so they stay in its record.
    if (const std::optional<RecordedRun> sofar = session.recordedSoFar()) {
        if (const std::optional<QString> notSaved = saveRunRecord(DiscRecords(), runDiscName, *sofar)) {
            std::fprintf(stderr, "quorvex: %s\n", notSaved->toLocal8Bit().constData());
        }
    }
    constexpr std::int16_t settleMs = 200;
    session.recorder().delay(settleMs);
    SerialPort& serial = *platform.serial;
    // A deck writes the name typed last and leaves remote mode.
    if (discNameDue.isActive()) {
        discNameDue.stop();
        nameDiscNow();
    }
    leaveRecorder();
    serial.close();
    platform.settings->save(setting::com, QString::number(serial.portNumber()));
    platform.settings->save(setting::useId3,
                            session.titles().usesTags() ? QStringLiteral("1") : QStringLiteral("0"));
    platform.settings->save(setting::disk, ui.DriveList->drive());
    platform.settings->save(setting::dir, ui.DirList->path());
    platform.exit->exitNow();
}

void frmQuorvex::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QMainWindow::closeEvent(event);
}

bool frmQuorvex::pauseMode() const {
    return checkBoxValue(*ui.chkInsertPauses) != 0;
}

void frmQuorvex::recordedDiscs_Click() {
    if (recordedDiscs == nullptr) {
        recordedDiscs = new RecordedDiscsDialog(DiscRecords(), *platform.dialogs, this);
        connect(recordedDiscs, &RecordedDiscsDialog::addToTrackList, this,
                [this](const QString& record) { addEntries({record}, atListEnd); });
        connect(recordedDiscs, &RecordedDiscsDialog::printInserts, this, &frmQuorvex::printRecords);
    } else {
        recordedDiscs->refresh();
    }
    recordedDiscs->show();
    recordedDiscs->raise();
    recordedDiscs->activateWindow();
}

void frmQuorvex::printInsert_Click() {
    if (session.entries().count() == 0) {
        setStatusLine(
            QStringLiteral("The Track list is empty: add the files of the disc to print its case insert."));
        return;
    }
    const QString name = ui.txtTitle->text().trimmed();
    previewInserts(
        {caseInsert(name.isEmpty() ? QStringLiteral("Untitled disc") : name, session.listedTracks())});
}

void frmQuorvex::printRecords(const QStringList& recordPaths) {
    std::vector<CaseInsert> inserts;
    for (const QString& path : recordPaths) {
        if (const std::optional<DiscRecord> record = readDiscRecord(path)) {
            inserts.push_back(caseInsert(*record));
        } else {
            setStatusLine(QStringLiteral("The disc's record \"%1\" could not be read.").arg(path));
        }
    }
    if (!inserts.empty()) {
        previewInserts(std::move(inserts));
    }
}

void frmQuorvex::previewInserts(std::vector<CaseInsert> inserts) {
    // Not modal: the window goes on (a run too) while the user looks at the preview.
    auto* const preview = new QPrintPreviewDialog(this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(QStringLiteral("Print case insert"));
    connect(preview, &QPrintPreviewDialog::paintRequested, preview,
            [inserts = std::move(inserts)](QPrinter* printer) { printCaseInserts(*printer, inserts); });
    preview->show();
}

bool frmQuorvex::rememberedSwitch(const SettingKey& key) const {
    return quorvex::rememberedSwitch(*platform.settings, key);
}

void frmQuorvex::rememberSwitch(const SettingKey& key, bool on) {
    platform.settings->save(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmQuorvex::discLength_Click(QAction* length) {
    platform.settings->save(setting::discLength, QString::number(length->data().toInt()));
}

void frmQuorvex::about_Click() {
    platform.dialogs->show(
        {.text =
             QStringLiteral("%1 %2.%3.%4\n\n%5\n\nLicence: GNU General Public License, version 3 or later.")
                 .arg(QString::fromLatin1(text::windowCaption))
                 .arg(version::major)
                 .arg(version::minor)
                 .arg(version::revision)
                 .arg(QString::fromLatin1(text::aboutLine)),
         .title = QStringLiteral("About Quorvex")});
}

void frmQuorvex::showPlayerFailure(const QString& reason) {
    platform.dialogs->show(
        {.text = reason, .title = QString::fromLatin1(text::applicationTitle), .icon = QMessageBox::Warning});
}

} // namespace quorvex
