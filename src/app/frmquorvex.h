#pragma once

#include "app/controls.h"
#include "app/menubar.h"
#include "app/platform.h"
#include "link/linktrace.h"
#include "platform/settingvalues.h"
#include "run/recordingsession.h"
#include "run/runfeedback.h"
#include "tracks/tagfields.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <vector>

class QAction;
class QUrl;
class QListWidgetItem;

namespace quorvex {

class RecordingRun;
class SoundOutputMenu;
class DiscContentsDialog;
class RecordedDiscsDialog;
struct CaseInsert;

// The program's one window. It owns every control and the outside things (serial port, settings,
// message boxes, event pump), and binds each control event to its handler.
class frmQuorvex final : public QMainWindow, public RunFeedback {
    Q_OBJECT
public:
    explicit frmQuorvex(Platform platform, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmQuorvex)
    ~frmQuorvex() override;

    // Start-up, run once before the window is first shown.
    void Form_Load();
    // Shut-down, when the window is closed (also in the middle of a wait): closes the port, saves the
    // settings and ends the program at once.
    void Form_Unload();

    // Leaves the recorder, closes the port, renumbers it, remembers the number and opens it again with the
    // family of recorder remembered for it.
    void optCom_Click(int index);
    // The family of recorder behind a Com button: as remembered for it, or the one given for every button.
    [[nodiscard]] RecorderFamily familyFor(int portNumber) const;
    // Every Com button leads to a recorder of this family for this session (the virtual deck); not saved.
    void useFamilyOnEveryPort(RecorderFamily family);
    // Every frame each way goes to `path` too from now on: what went wrong when it cannot be opened.
    std::optional<QString> traceTo(const QString& path);
    // The session's serial trace so far into `path`; what went wrong, if anything.
    [[nodiscard]] std::optional<QString> saveTrace(const QString& path) const;
    // Asks the deck on `device` for its model (REMOTE MODE On, MODEL NAME REQ; remote mode left again on a
    // device not in use): its model, or "No answer", or why the device could not be opened.
    QString identify(const QString& device);
    // Selects an option button the way a click would, which runs optCom_Click.
    void selectPort(int index);

    // One Tick of Timer1: the countdown and the bytes the recorder sent since the last Tick.
    void Timer1_Timer();
    [[nodiscard]] Recorder& recorder() { return session.recorder(); }
    void txtTitle_Change();
    // Asks the recorder for its track count and disc time and shows them in lblTrackInfo.
    DiscState refreshDiscInfo();
    void btnCheckTracks_Click();
    void lblTrackInfo_Click();

    // The source browser and the Track list.
    void DriveList_Change();
    void DirList_Change();
    void FileList_DblClick();
    void btnRemove_Click();
    void ListOfMusic_DblClick();
    // Files, folders (their sound files, in natural order) and playlists (their entries) into the Track list
    // before `row` (at its end during a run, which only lets the list grow), once the worker has gathered
    // them; what cannot be added is named in one box.
    void addEntries(const QStringList& paths, int row);
    void addDroppedUrls(const QList<QUrl>& urls, int row);
    // Whether files, folders or playlists are still being gathered for the Track list.
    [[nodiscard]] bool isAdding() const { return session.isAdding(); }
    // Ctrl+Up / Ctrl+Down: the selected entry one place up or down, not during a run.
    void moveEntry(int step);
    void addFiles_Click();
    void addFolder_Click();
    void saveList_Click();
    // File ▸ Print case insert…: the insert of the disc the Track list makes, named from the Disc Name box.
    void printInsert_Click();
    // Shows the tag of the file in the three tag fields (its ID3v1 block when that has a title, else the
    // file's own tag) and returns its title; a file without a tag returns "" and leaves the fields as they
    // were.
    QString readId3Tag(const QString& path);
    // The title a Track list entry is recorded under: from its tags ("Use ID3 tags" ticked; MP3, FLAC, Ogg,
    // Opus, M4A and AIFF), else from its file name; in plain ASCII when the Disc menu asks for it.
    QString deriveTrackTitle(const QString& path);
    [[nodiscard]] EntryMark entryMark(int index) const { return session.entries().mark(index); }
    // The disc name or a title as it goes to the recorder: in plain ASCII when the Disc menu asks for it.
    [[nodiscard]] QString titleText(const QString& title) const;

    void btnOn_Click();
    void btnOff_Click();
    void btnPlay_Click();
    void btnStop_Click();
    void btnBack_Click();
    void btnForward_Click();
    void chkInsertPauses_Click();

    [[nodiscard]] bool pauseMode() const;

    // Record: the Track list onto the disc (asking first, when some entries are recorded already, whether
    // to go on with the rest). During a run the button reads "Stop" and ends the run; a press
    // while a disc query is under way starts nothing.
    void btnRecordList_Click();
    // The menu bar's own entries (Quit and Check disc run the handlers above).
    void discLength_Click(QAction* length);
    void about_Click();
    // Disc ▸ Serial device…: the device behind the chosen Com button, saved and opened as a click on the
    // button opens it. The menu entry is disabled during a run.
    void serialDevice_Click();
    // Disc ▸ Save serial trace…: every frame of this session so far, into a file the user chooses.
    void saveTrace_Click();
    // Disc ▸ Recorded discs…: the records of the discs made, in a window of their own beside this one.
    void recordedDiscs_Click();
    // The print dialog with its preview, for the inserts of the records.
    void printRecords(const QStringList& recordPaths);
    void previewInserts(std::vector<CaseInsert> inserts);
    [[nodiscard]] bool isRecording() const { return session.isRecording(); }

    // What a recording run shows in the window.
    void showEntry(int index) override;
    void showTagFields(const std::optional<TagFields>& fields) override;
    void setStatusLine(const QString& text) override;
    void showRunProgress(const RunProgress& progress) override;
    void showNotice(const Notice& notice) override;
    bool askRecordAnyway(const QString& question) override;
    void remindPauseMode() override;
    // The Track list shows each entry's mark already.
    void entryEnded(const EndedEntry& /*entry*/) override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectControls();
    // The window follows the recorder now behind the port: its signals, the trace, the controls it has.
    void connectRecorder();
    void showRecorderControls();
    // The recorder's first words on the line opened at start-up.
    void startRecorder();
    // The recorder is left as the line closes (an MDS-E deck stopped, its names written, remote mode off):
    // at most 10 s.
    void leaveRecorder();
    // The Disc Name box's name to the recorder once the typing paused (an MDS-E deck).
    void nameDiscNow();
    // A Disc menu switch as remembered (see switchFromSetting; anything unusable is the key's default), and
    // remembering one.
    [[nodiscard]] bool rememberedSwitch(const SettingKey& key) const;
    void rememberSwitch(const SettingKey& key, bool on);
    // Each Com button's tool tip: the device it stands for.
    void showPortDevices();
    void showLineLost(const QString& reason);
    void showPlayerFailure(const QString& reason);
    // Fills the three tag fields and returns the title shown; nothing leaves them as they were.
    QString fillTagFields(const std::optional<TagFields>& fields);
    // A file's tags and length, read on the worker, become the tool tip of its entries in both lists.
    void showTrackInfo(const QString& path);
    // The Track list's count and time in the status bar (not during a run).
    void updateListSummary();
    // The Track list positions the next run records, or none when the user cancels.
    [[nodiscard]] std::optional<std::vector<int>> planEntries();
    void recordPlan(std::vector<int> entries);
    // The Record button's caption, the controls that cannot act during a run, and the status bar's run or
    // list parts.
    void showRunUnderWay(bool underWay);

    Platform platform;
    RecordingSession session;
    Controls ui;
    Menus menus;
    RecordedDiscsDialog* recordedDiscs = nullptr; // made the first time it is asked for; the window owns it
    DiscContentsDialog* discContents = nullptr;   // the same
    // The file list's entries by their full path, for the tool tips the worker's results bring; rebuilt
    // whenever the list is (DirList_Change is the only place that fills it).
    QHash<QString, QListWidgetItem*> shownFiles;
    std::unique_ptr<SoundOutputMenu> outputs;
    std::vector<Notice> runNotices;             // what the run under way has to say at its end
    int discMinutesChosen = defaultDiscMinutes; // Disc ▸ Disc length, as the next run uses it
    bool gaplessChosen = false;                 // Disc ▸ Gapless, likewise
    Level levelChosen = Level::minus6dB;        // Disc ▸ Level, likewise
    QString runDiscName;                        // the Disc Name box's text when the run under way began
    bool toldSilent = false;                    // the demo said once that it plays silently
    bool unloading = false;
    LinkTrace trace{LinkTrace::Keep::session};     // every frame each way this session
    std::optional<RecorderFamily> everyPortFamily; // the virtual deck's family, on every Com button
    bool recorderStarted = false;                  // the line opened at start-up has had its first words
    QTimer discNameDue;                            // the Disc Name box's typing paused
    bool discNameAfterRun = false;                 // a deck's name typed during the run is written after it
    QTimer Timer1;
    QTimer summaryDue; // the Track list's count and time, once the tags read meanwhile are in
};

} // namespace quorvex
