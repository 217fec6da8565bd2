#include "app/controls.h"

#include "widgets/clickablelabel.h"
#include "widgets/clockpanel.h"
#include "widgets/dirlistbox.h"
#include "widgets/drivelistbox.h"
#include "widgets/filelistbox.h"
#include "widgets/mediaplayerbar.h"
#include "widgets/tracklist.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace quorvex {

namespace {

// The layout is drawn in twips: 1440 to the inch, so 15 to a pixel at 96 dots per inch.
constexpr int twipsPerPixel = 15;
constexpr int clientWidth = 9795;
constexpr int clientHeight = 5700;
constexpr int statusBarHeight = 375;
constexpr int clockPanelWidth = 1440;
constexpr int buttonWidth = 735;
constexpr int buttonHeight = 375;
// The layout's measures were drawn for an 8-point face at 96 dots per inch: about 11 pixels.
constexpr int fontPixels = 11;

struct Twips {
    int left;
    int top;
    int width;
    int height;
};

constexpr int px(int twips) {
    return twips / twipsPerPixel;
}

template <typename Widget, typename... Args>
Widget* place(QWidget* parent, const char* name, Twips where, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(px(where.left), px(where.top), px(where.width), px(where.height));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, int left, int top,
                    int width = buttonWidth) {
    auto* pushButton =
        place<QPushButton>(parent, name, {left, top, width, buttonHeight}, QString::fromLatin1(caption));
    // Enter and Escape press no button of this window.
    pushButton->setAutoDefault(false);
    pushButton->setDefault(false);
    return pushButton;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, Twips where) {
    return place<QLabel>(parent, name, where, QString::fromLatin1(caption));
}

// Title, artist and album: read-only text in a sunken box, like an edit field the user cannot type into.
QLabel* tagField(QWidget* parent, const char* name, int top) {
    auto* field = place<QLabel>(parent, name, {6960, top, 2775, 315});
    field->setFrameShape(QFrame::Box);
    field->setLineWidth(1);
    field->setAutoFillBackground(true);
    field->setBackgroundRole(QPalette::Base);
    field->setForegroundRole(QPalette::Text);
    // A tag is shown as written: "<b>x</b>" or "Tom &lt;3" is no markup.
    field->setTextFormat(Qt::PlainText);
    return field;
}

void buildRecorderBox(QWidget* client, Controls& ui) {
    // The outline is made first so the controls inside it are drawn on top.
    ui.Shape1 = place<QFrame>(client, "Shape1", {120, 120, 3495, 1095});
    ui.Shape1->setFrameShape(QFrame::Box);
    ui.Label1 = label(client, "Label1", "Quorvex controls", {225, 150, 3285, 225});
    ui.Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    constexpr int firstRow = 390;
    constexpr int secondRow = 795;
    ui.btnOff = button(client, "btnOff", "Off", 225, firstRow);
    ui.btnOn = button(client, "btnOn", "On", 1065, firstRow);
    ui.btnStop = button(client, "btnStop", "Stop", 225, secondRow);
    ui.btnBack = button(client, "btnBack", "Back", 1065, secondRow);
    ui.btnPlay = button(client, "btnPlay", "Play", 1905, secondRow);
    ui.btnForward = button(client, "btnForward", "Forward", 2745, secondRow);
}

void buildTopRight(QWidget* client, Controls& ui) {
    ui.Label3 = label(client, "Label3", "MP3/WAV to Quorvex", {3720, 120, 2895, 255});
    QFont heading = ui.Label3->font();
    heading.setBold(true);
    ui.Label3->setFont(heading);
    ui.Label2 = label(client, "Label2", "", {3720, 420, 2415, 495});
    ui.Label2->setWordWrap(false);
    ui.tickUseID3 = place<QCheckBox>(client, "tickUseID3", {3720, 960, 3030, 255},
                                     QStringLiteral("Use ID3 tags to name MP3 tracks"));

    ui.lblTrackInfo = place<ClickableLabel>(client, "lblTrackInfo", {6840, 120, 855, 615});
    ui.lblTrackInfo->setFrameShape(QFrame::Panel);
    ui.lblTrackInfo->setFrameShadow(QFrame::Sunken);
    ui.lblTrackInfo->setWordWrap(true);
    ui.lblTrackInfo->setAlignment(Qt::AlignCenter);
    // A little wider than the label above it, so that its caption fits a push button's margins.
    ui.btnCheckTracks = button(client, "btnCheckTracks", "Check disc", 6765, 780, 960);

    ui.Frame1 = place<QGroupBox>(client, "Frame1", {7800, 120, 1815, 855}, QStringLiteral("Com Port"));
    ui.optComGroup = new QButtonGroup(ui.Frame1);
    ui.optComGroup->setObjectName(QStringLiteral("optComGroup"));
    ui.optComGroup->setExclusive(true);
    constexpr std::array<Twips, 4> optionPlaces{
        {{90, 240, 810, 255}, {915, 240, 810, 255}, {90, 540, 810, 255}, {915, 540, 810, 255}}};
    for (int index = 1; index <= 4; ++index) {
        const auto slot = static_cast<std::size_t>(index - 1);
        const QByteArray name = QByteArrayLiteral("optCom") + QByteArray::number(index);
        auto* option = place<QRadioButton>(ui.Frame1, name.constData(), optionPlaces.at(slot),
                                           QStringLiteral("Com%1").arg(index));
        ui.optComGroup->addButton(option, index);
        ui.optCom.at(slot) = option;
    }
    // Just under the frame's bottom edge (120 + 855), so the two do not share a pixel row.
    ui.chkInsertPauses =
        place<QCheckBox>(client, "chkInsertPauses", {7800, 975, 1815, 255}, QStringLiteral("Insert pauses"));
}

void buildSourceBand(QWidget* client, Controls& ui) {
    ui.DriveList = place<DriveListBox>(client, "DriveList", {120, 1320, 3495, 315});
    ui.DirList = place<DirListBox>(client, "DirList", {120, 1680, 3495, 1890});
    ui.FileList = place<FileListBox>(client, "FileList", {3720, 1320, 6015, 2235});
}

void buildLowerBand(QWidget* client, Controls& ui, MediaPlayer& player) {
    ui.ListOfMusic = place<TrackList>(client, "ListOfMusic", {120, 3600, 6015, 1230});

    ui.btnRecordList = button(client, "btnRecordList", "Record", 120, 4920);
    ui.btnRemove = button(client, "btnRemove", "Remove", 960, 4920);
    ui.Label5 = label(client, "Label5", "Disc Name", {1800, 4920, 1455, 375});
    ui.Label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui.txtTitle = place<QLineEdit>(client, "txtTitle", {3360, 4950, 2775, 315});

    // Right column: caption and tag field per row, and the media player's control bar under them.
    constexpr int captionLeft = 6240;
    constexpr int captionWidth = 690;
    constexpr std::array<int, 3> rows{3600, 3960, 4320};
    ui.Label4 = label(client, "Label4", "Title", {captionLeft, rows[0], captionWidth, 315});
    ui.txtSongname = tagField(client, "txtSongname", rows[0]);
    ui.Label6 = label(client, "Label6", "Artist", {captionLeft, rows[1], captionWidth, 315});
    ui.txtArtist = tagField(client, "txtArtist", rows[1]);
    ui.Label7 = label(client, "Label7", "Album", {captionLeft, rows[2], captionWidth, 315});
    ui.txtAlbum = tagField(client, "txtAlbum", rows[2]);
    // 3615 twips wide from 6240 would end 4 pixels past the client area, so the bar keeps its width and
    // stands 6 pixels further left, clear of the Track list.
    ui.MediaPlayer1 = place<MediaPlayerBar>(client, "MediaPlayer1", {6150, 4680, 3615, 615}, player);
}

void buildStatusBar(QMainWindow& window, Controls& ui) {
    ui.StatusBar = new QStatusBar(&window);
    ui.StatusBar->setObjectName(QStringLiteral("StatusBar"));
    ui.StatusBar->setSizeGripEnabled(false);
    ui.StatusBar->setFixedHeight(px(statusBarHeight));
    // The Status line's new text repaints the whole bar every second; filling its own background keeps
    // the window under it out of that repaint.
    ui.StatusBar->setAutoFillBackground(true);
    ui.clockPanel = new ClockPanel(ui.StatusBar);
    ui.clockPanel->setFixedWidth(px(clockPanelWidth));
    ui.clockPanel->setFrameShape(QFrame::Panel);
    ui.clockPanel->setFrameShadow(QFrame::Sunken);
    ui.statusLine = new QLabel(ui.StatusBar);
    ui.statusLine->setObjectName(QStringLiteral("statusLine"));
    ui.statusLine->setTextFormat(Qt::PlainText); // it shows titles, which are no markup
    ui.statusLine->setFrameShape(QFrame::Panel);
    ui.statusLine->setFrameShadow(QFrame::Sunken);
    ui.StatusBar->addWidget(ui.clockPanel);
    ui.StatusBar->addWidget(ui.statusLine, 1);
    ui.runProgress = new QProgressBar(ui.StatusBar);
    ui.runProgress->setObjectName(QStringLiteral("runProgress"));
    ui.runProgress->setRange(0, runProgressSteps);
    ui.runProgress->setTextVisible(false);
    ui.runProgress->hide();
    ui.StatusBar->addPermanentWidget(ui.runProgress);
    ui.listSummary = new QLabel(ui.StatusBar);
    ui.listSummary->setObjectName(QStringLiteral("listSummary"));
    ui.StatusBar->addPermanentWidget(ui.listSummary);
    window.setStatusBar(ui.StatusBar);
}

// Play comes first so it has the focus when the window appears; the Com buttons go 2, 1, 3, 4.
void setTabOrder(const Controls& ui) {
    const std::array<QWidget*, 21> order{
        ui.btnPlay,    ui.btnRecordList,   ui.MediaPlayer1,  ui.btnOff,    ui.btnStop,     ui.btnBack,
        ui.btnForward, ui.DirList,         ui.DriveList,     ui.FileList,  ui.ListOfMusic, ui.btnOn,
        ui.tickUseID3, ui.btnRemove,       ui.txtTitle,      ui.optCom[1], ui.optCom[0],   ui.optCom[2],
        ui.optCom[3],  ui.chkInsertPauses, ui.btnCheckTracks};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    }
}

} // namespace

Controls buildControls(QMainWindow& window, MediaPlayer& player) {
    Controls ui;
    QFont font = window.font();
    font.setPixelSize(fontPixels);
    window.setFont(font);
    auto* client = new QWidget(&window);
    client->setObjectName(QStringLiteral("client"));
    window.setCentralWidget(client);

    buildRecorderBox(client, ui);
    buildTopRight(client, ui);
    buildSourceBand(client, ui);
    buildLowerBand(client, ui, player);
    buildStatusBar(window, ui);
    setTabOrder(ui);

    // Nothing is laid out again on a resize, so the window keeps the size the layout was drawn for.
    window.setFixedSize(px(clientWidth), px(clientHeight));
    return ui;
}

} // namespace quorvex
