// The window's side of the recorder: the Com buttons and the family of recorder behind each, the recorder
// buttons, the Disc Name box, the disc label and the serial trace.
#include "app/checkboxvalue.h"
#include "app/frmquorvex.h"
#include "app/messages.h"
#include "link/mdse/mdserecorder.h"
#include "platform/settingvalues.h"
#include "widgets/clickablelabel.h"
#include "widgets/disccontentsdialog.h"

#include <algorithm>
#include <numeric>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quorvex {

namespace {

constexpr int leaveWaitTicks = 100; // how long the window waits at most for a deck to stop and leave: 10 s

} // namespace

RecorderFamily frmQuorvex::familyFor(int portNumber) const {
    if (everyPortFamily) {
        return *everyPortFamily;
    }
    return recorderFamilyOf(platform.settings->read(setting::commport, setting::recorderKey(portNumber),
                                                    recorderFamilyText(RecorderFamily::controlA1)))
        .value_or(RecorderFamily::controlA1);
}

void frmQuorvex::useFamilyOnEveryPort(RecorderFamily family) {
    everyPortFamily = family;
}

std::optional<QString> frmQuorvex::traceTo(const QString& path) {
    return trace.writeTo(path);
}

void frmQuorvex::connectRecorder() {
    Recorder& recorder = session.recorder();
    disconnect(&recorder, nullptr, this, nullptr);
    recorder.setTrace(&trace);
    // A line that broke under us is reported after the frame that found it has gone (or not).
    connect(&recorder, &Recorder::lost, this, &frmQuorvex::showLineLost);
    connect(&recorder, &Recorder::told, this, &frmQuorvex::setStatusLine);
    connect(&recorder, &Recorder::discChanged, this, [this] {
        if (!session.isRecording() && !session.recorder().askingDisc()) {
            refreshDiscInfo();
        }
    });
    showRecorderControls();
}

void frmQuorvex::showRecorderControls() {
    const Recorder& recorder = session.recorder();
    const auto* const deck = qobject_cast<const MdseRecorder*>(&recorder);
    const QString noPower =
        deck == nullptr ? QString()
        : deck->model().isEmpty()
            ? QStringLiteral("The deck has not said its model: it is not switched on or off.")
            : QStringLiteral("The %1 cannot be switched on or off over its serial port.").arg(deck->model());
    for (const auto& [button, control] :
         {std::pair{RecorderButton::on, ui.btnOn}, std::pair{RecorderButton::off, ui.btnOff}}) {
        control->setEnabled(recorder.hasButton(button));
        control->setToolTip(recorder.hasButton(button) ? QString() : noPower);
    }
    const bool pausable = recorder.takesPauseMode();
    if (!pausable && ui.chkInsertPauses->isChecked()) {
        ui.chkInsertPauses->setChecked(false);
    }
    ui.chkInsertPauses->setEnabled(pausable);
    ui.chkInsertPauses->setToolTip(
        pausable ? QString() : QStringLiteral("Pause mode is for recorders without a serial link."));
}

void frmQuorvex::leaveRecorder() {
    if (!platform.serial->isOpen()) {
        return;
    }
    // The deck stops, writes its names and leaves remote mode; the window waits for it at most 10 s.
    const std::uint64_t from = session.recorder().ticks();
    QTimer giveUp;
    giveUp.setInterval(100);
    connect(&giveUp, &QTimer::timeout, this, [this, from] {
        if (session.recorder().ticks() - from > leaveWaitTicks) {
            session.recorder().endWait();
        }
    });
    giveUp.start();
    session.recorder().leave();
}

void frmQuorvex::optCom_Click(int index) {
    SerialPort& serial = *platform.serial;
    if (serial.isOpen()) {
        leaveRecorder();
        serial.close();
    }
    serial.setPortNumber(index);
    // Remembered before the open, so a port that fails is still the one tried at the next start.
    platform.settings->save(setting::com, QString::number(index));
    if (familyFor(index) != session.recorder().family()) {
        session.setFamily(familyFor(index));
        connectRecorder();
    }
    if (const std::optional<QString> failure = serial.open(); failure.has_value()) {
        platform.dialogs->show({.text = QString::fromLatin1(text::portOpenError),
                                .title = QString::fromLatin1(text::applicationTitle),
                                .informativeText = *failure});
    } else if (recorderStarted && session.recorder().family() == RecorderFamily::mdsE) {
        // A deck takes commands only in remote mode, switched on once per opening of the line.
        session.recorder().start();
        showRecorderControls();
        refreshDiscInfo();
    }
}

void frmQuorvex::selectPort(int index) {
    if (QAbstractButton* option = ui.optComGroup->button(index)) {
        option->setChecked(true);
    }
    optCom_Click(index);
}

void frmQuorvex::startRecorder() {
    session.recorder().start();
    recorderStarted = true;
    showRecorderControls();
}

void frmQuorvex::showPortDevices() {
    for (int index = firstPort; index <= lastPort; ++index) {
        ui.optCom.at(static_cast<std::size_t>(index - 1))->setToolTip(platform.serial->deviceName(index));
    }
}

void frmQuorvex::serialDevice_Click() {
    SerialPort& serial = *platform.serial;
    const int number = serial.portNumber();
    const std::optional<SerialChoice> choice = platform.dialogs->chooseSerialDevice(
        QStringLiteral("Serial device for Com%1").arg(number),
        {.device = serial.deviceName(number), .family = familyFor(number)}, serial.systemDevices(),
        [this](const QString& device) { return identify(device); });
    if (!choice.has_value() || choice->device.isEmpty()) {
        return;
    }
    platform.settings->save(setting::commport, setting::deviceKey(number), choice->device);
    platform.settings->save(setting::commport, setting::recorderKey(number),
                            recorderFamilyText(choice->family));
    serial.setDevice(number, choice->device);
    showPortDevices();
    optCom_Click(number);
}

QString frmQuorvex::identify(const QString& device) {
    if (session.isRecording()) {
        return {};
    }
    SerialPort& serial = *platform.serial;
    const int number = serial.portNumber();
    const QString inUse = serial.deviceName(number);
    const RecorderFamily family = session.recorder().family();
    const bool elsewhere = device != inUse || !serial.isOpen();
    if (elsewhere) {
        // The chosen device on this Com button for the question only.
        if (serial.isOpen()) {
            leaveRecorder();
            serial.close();
        }
        serial.setDevice(number, device);
        if (const std::optional<QString> failure = serial.open()) {
            serial.setDevice(number, inUse);
            optCom_Click(number);
            return *failure;
        }
    }
    std::optional<QString> model;
    if (auto* const deck = qobject_cast<MdseRecorder*>(&session.setFamily(RecorderFamily::mdsE))) {
        deck->setTrace(&trace);
        model = deck->identify();
        if (elsewhere) {
            deck->leave();
            serial.close();
            serial.setDevice(number, inUse);
        }
    }
    session.setFamily(family);
    connectRecorder();
    if (elsewhere) {
        optCom_Click(number);
    }
    return model.value_or(QStringLiteral("No answer"));
}

std::optional<QString> frmQuorvex::saveTrace(const QString& path) const {
    return trace.save(path);
}

void frmQuorvex::saveTrace_Click() {
    const QString path = platform.dialogs->chooseFileToSave(QStringLiteral("Save serial trace"),
                                                            QStringLiteral("Serial traces (*.txt)"));
    if (path.isEmpty()) {
        return;
    }
    if (const std::optional<QString> failure = saveTrace(path)) {
        platform.dialogs->show({.text = *failure,
                                .title = QString::fromLatin1(text::applicationTitle),
                                .icon = QMessageBox::Warning});
    } else {
        setStatusLine(QStringLiteral("The serial trace was saved to %1.").arg(path));
    }
}

void frmQuorvex::Timer1_Timer() {
    session.recorder().tick();
}

void frmQuorvex::txtTitle_Change() {
    if (session.recorder().family() == RecorderFamily::controlA1) {
        session.recorder().nameDisc(titleText(ui.txtTitle->text()));
        return;
    }
    // A deck writes a name in packets, each confirmed: once the typing pauses, not per keystroke.
    discNameDue.start();
}

void frmQuorvex::nameDiscNow() {
    discNameAfterRun = session.isRecording();
    if (discNameAfterRun) {
        return;
    }
    session.recorder().nameDisc(titleText(ui.txtTitle->text()));
}

DiscState frmQuorvex::refreshDiscInfo() {
    DiscState disc = session.recorder().askDisc();
    ui.lblTrackInfo->setText(discLabelText(disc));
    ui.lblTrackInfo->setToolTip(discToolTipText(disc));
    return disc;
}

// Check disc, the menu's and the label's click: the label from the recorder's answer, and where the recorder
// tells each track's time and name, the disc as it reads back in a list of its own. During a recording run
// the disc query would take over the run's wait for the recorder's answer.
void frmQuorvex::btnCheckTracks_Click() {
    if (session.isRecording()) {
        return;
    }
    const DiscState disc = refreshDiscInfo();
    if (session.recorder().family() != RecorderFamily::mdsE || disc.noDisc) {
        return;
    }
    std::vector<int> all(static_cast<std::size_t>(std::max<int>(disc.tracks, 0)));
    std::iota(all.begin(), all.end(), 1);
    const ReadBack read = session.recorder().readBack(all);
    if (!read.answered) {
        setStatusLine(QStringLiteral("The disc could not be read back: the recorder did not answer."));
        return;
    }
    if (discContents == nullptr) {
        discContents = new DiscContentsDialog(this);
    }
    discContents->showDisc(read);
}

void frmQuorvex::lblTrackInfo_Click() {
    btnCheckTracks_Click();
}

void frmQuorvex::btnOn_Click() {
    session.recorder().press(RecorderButton::on);
}
void frmQuorvex::btnOff_Click() {
    session.recorder().press(RecorderButton::off);
}
void frmQuorvex::btnPlay_Click() {
    session.recorder().press(RecorderButton::play);
}
void frmQuorvex::btnStop_Click() {
    session.recorder().press(RecorderButton::stop);
}
void frmQuorvex::btnBack_Click() {
    session.recorder().press(RecorderButton::back);
}
void frmQuorvex::btnForward_Click() {
    session.recorder().press(RecorderButton::forward);
}

void frmQuorvex::chkInsertPauses_Click() {
    session.recorder().setPauseMode(pauseMode());
    // Pause mode's silences are how recorders without the serial link mark tracks: one take has none.
    menus.gapless->setEnabled(!pauseMode());
    if (checkBoxValue(*ui.chkInsertPauses) == 1) {
        remindPauseMode();
    }
}

void frmQuorvex::remindPauseMode() {
    platform.dialogs->show({.text = QString::fromLatin1(text::pauseModeNotice),
                            .title = QString::fromLatin1(text::applicationTitle)});
}

void frmQuorvex::showLineLost(const QString& reason) {
    platform.dialogs->show({.text = QString::fromLatin1(text::lineLost).arg(reason),
                            .title = QString::fromLatin1(text::applicationTitle),
                            .icon = QMessageBox::Warning});
}

} // namespace quorvex
