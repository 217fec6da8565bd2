#pragma once

#include <array>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPushButton;
class QRadioButton;
class QProgressBar;
class QStatusBar;

namespace quorvex {

class TrackList;

class ClickableLabel;
class DirListBox;
class DriveListBox;
class FileListBox;
class MediaPlayer;
class MediaPlayerBar;
class ClockPanel;

// Every control of the main window, by the names the rest of the program uses for them.
// The widgets belong to the window (Qt parent ownership); this is only the directory of them.
struct Controls {
    // Recorder controls box
    QFrame* Shape1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* btnOn = nullptr;
    QPushButton* btnOff = nullptr;
    QPushButton* btnStop = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnForward = nullptr;

    // Top middle and right
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* tickUseID3 = nullptr;
    ClickableLabel* lblTrackInfo = nullptr;
    QPushButton* btnCheckTracks = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 4> optCom{}; // Com1..Com4: optCom[n - 1] is port n
    QButtonGroup* optComGroup = nullptr;   // ids are the port numbers
    QCheckBox* chkInsertPauses = nullptr;

    // Source browser
    DriveListBox* DriveList = nullptr;
    DirListBox* DirList = nullptr;
    FileListBox* FileList = nullptr;

    // Track list, tag fields and disc name
    TrackList* ListOfMusic = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* txtSongname = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* txtArtist = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* txtAlbum = nullptr;
    MediaPlayerBar* MediaPlayer1 = nullptr; // the player's control bar
    QPushButton* btnRecordList = nullptr;
    QPushButton* btnRemove = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtTitle = nullptr;

    // Status bar: the clock panel, then the Status line; at its right end the run's progress (during a
    // run) or the Track list's count and time (otherwise)
    QStatusBar* StatusBar = nullptr;
    ClockPanel* clockPanel = nullptr;
    QLabel* statusLine = nullptr;
    QProgressBar* runProgress = nullptr;
    QLabel* listSummary = nullptr;
};

// The run's progress bar counts in thousandths of the run.
inline constexpr int runProgressSteps = 1000;

// Builds the controls on the window at their fixed places and in their tab order.
[[nodiscard]] Controls buildControls(QMainWindow& window, MediaPlayer& player);

} // namespace quorvex
