#include "widgets/mediaplayerbar.h"

#include <cmath>
#include <QBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>

namespace quorvex {

namespace {

constexpr QSize buttonSize(22, 19);
constexpr QSize iconSize(12, 12);
constexpr int volumeWidth = 56;
constexpr int millisecondsPerSecond = 1000;
// The position is shown at most this often: ten times a second.
constexpr int positionIntervalMs = 100;

QToolButton* makeButton(QWidget* parent, const QString& name, const QString& tip) {
    auto* const button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFixedSize(buttonSize);
    button->setIconSize(iconSize);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

// The seek bar redraws only when its handle moves on the screen: a minute of a song is a few pixels, while
// the position is shown ten times a second. It fills its own background, so the bar and the window under
// it are not painted again with it.
class SeekBar final : public QSlider {
public:
    explicit SeekBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) { setAutoFillBackground(true); }

protected:
    void sliderChange(SliderChange change) override {
        if (change == SliderValueChange && handle() == paintedHandle) {
            return; // the groove and the handle look just as they were painted
        }
        QSlider::sliderChange(change);
    }

    void paintEvent(QPaintEvent* event) override {
        paintedHandle = handle();
        QSlider::paintEvent(event);
    }

private:
    [[nodiscard]] QRect handle() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    }

    QRect paintedHandle;
};

// setIcon() always redraws the button and lays the bar out again, so it is called only for another icon.
void showIcon(QToolButton& button, const QIcon& icon) {
    if (button.icon().cacheKey() != icon.cacheKey()) {
        button.setIcon(icon);
    }
}

int milliseconds(double seconds) {
    return static_cast<int>(std::lround(std::max(seconds, 0.0) * millisecondsPerSecond));
}

QString clock(double seconds) {
    const auto whole = static_cast<int>(std::floor(std::max(seconds, 0.0)));
    constexpr int secondsPerMinute = 60;
    return QStringLiteral("%1:%2")
        .arg(whole / secondsPerMinute)
        .arg(whole % secondsPerMinute, 2, 10, QLatin1Char('0'));
}

} // namespace

MediaPlayerBar::MediaPlayerBar(MediaPlayer& player, QWidget* parent)
    : QWidget(parent), player(player), playButton(makeButton(this, QStringLiteral("playButton"), tr("Play"))),
      stopButton(makeButton(this, QStringLiteral("stopButton"), tr("Stop"))), seekBar(new SeekBar(this)),
      timeLabel(new QLabel(this)), muteButton(makeButton(this, QStringLiteral("muteButton"), tr("Mute"))),
      volumeSlider(new QSlider(Qt::Horizontal, this)), playIcon(style()->standardIcon(QStyle::SP_MediaPlay)),
      pauseIcon(style()->standardIcon(QStyle::SP_MediaPause)),
      volumeIcon(style()->standardIcon(QStyle::SP_MediaVolume)),
      mutedIcon(style()->standardIcon(QStyle::SP_MediaVolumeMuted)) {
    setFixedSize(width, height);
    positionDue.setSingleShot(true);
    positionDue.setTimerType(Qt::PreciseTimer); // a coarse timer may fire early, more than ten times a second
    buildLayout();
    connectControls();
    showState();
    showPosition();
}

void MediaPlayerBar::buildLayout() {
    seekBar->setObjectName(QStringLiteral("seekBar"));
    seekBar->setToolTip(tr("Position"));
    seekBar->setFocusPolicy(Qt::TabFocus);
    timeLabel->setObjectName(QStringLiteral("timeLabel"));
    timeLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    timeLabel->setAutoFillBackground(true); // its new text once a second repaints the label alone
    volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider->setToolTip(tr("Volume"));
    volumeSlider->setRange(0, 100);
    volumeSlider->setFixedWidth(volumeWidth);
    volumeSlider->setFocusPolicy(Qt::TabFocus);
    muteButton->setCheckable(true);
    stopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));

    // Two rows like the classic control: the seek bar across the top, the buttons and the text below.
    auto* const controls = new QHBoxLayout;
    controls->setSpacing(1);
    controls->addWidget(playButton);
    controls->addWidget(stopButton);
    controls->addSpacing(3);
    controls->addWidget(timeLabel, 1);
    controls->addWidget(muteButton);
    controls->addWidget(volumeSlider);

    auto* const rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 1, 2, 1);
    rows->setSpacing(0);
    rows->addWidget(seekBar);
    rows->addLayout(controls);
}

void MediaPlayerBar::connectControls() {
    connect(&player, &MediaPlayer::stateChanged, this, &MediaPlayerBar::playerChanged);
    connect(&positionDue, &QTimer::timeout, this, &MediaPlayerBar::showPosition);
    connect(playButton, &QToolButton::clicked, this, &MediaPlayerBar::togglePlay);
    connect(stopButton, &QToolButton::clicked, this, [this] { player.stop(); });
    // A drag seeks where it is let go; a click on the groove or a key seeks at once.
    connect(seekBar, &QSlider::sliderReleased, this,
            [this] { player.seek(static_cast<double>(seekBar->value()) / millisecondsPerSecond); });
    connect(seekBar, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove && !seekBar->isSliderDown()) {
            player.seek(static_cast<double>(seekBar->sliderPosition()) / millisecondsPerSecond);
        }
    });
    connect(volumeSlider, &QSlider::valueChanged, this, [this](int value) { player.setVolume(value); });
    connect(muteButton, &QToolButton::clicked, this, [this](bool checked) { player.setMuted(checked); });
}

void MediaPlayerBar::holdListenerLevel(bool held) {
    if (held == heldLevel.has_value()) {
        return;
    }
    volumeSlider->setEnabled(!held);
    muteButton->setEnabled(!held);
    if (held) {
        // As the listener set them last: the player may not have said so yet.
        heldLevel.emplace(volumeSlider->value(), muteButton->isChecked());
        return;
    }
    player.setVolume(heldLevel->first);
    player.setMuted(heldLevel->second);
    heldLevel.reset();
}

void MediaPlayerBar::togglePlay() {
    if (player.playState() == MediaPlayer::playing) {
        player.pause();
    } else {
        player.play();
    }
}

void MediaPlayerBar::playerChanged() {
    if (const Shown now{player.playState(), player.volume(), player.isMuted()}; now != shown) {
        // Play, pause, stop, a new file, the level: shown at once, with the position they come with.
        showState();
        positionDue.stop();
        showPosition();
        return;
    }
    if (positionDue.isActive()) {
        return; // the update already due shows the latest position
    }
    const qint64 sinceShown = positionShownAt.elapsed();
    if (sinceShown >= positionIntervalMs) {
        showPosition();
    } else {
        positionDue.start(static_cast<int>(positionIntervalMs - sinceShown));
    }
}

void MediaPlayerBar::showState() {
    shown = {player.playState(), player.volume(), player.isMuted()};
    const bool playing = shown.state == MediaPlayer::playing;
    showIcon(*playButton, playing ? pauseIcon : playIcon);
    playButton->setToolTip(playing ? tr("Pause") : tr("Play"));
    playButton->setEnabled(shown.state != MediaPlayer::undefined);
    stopButton->setEnabled(shown.state == MediaPlayer::playing || shown.state == MediaPlayer::paused ||
                           shown.state == MediaPlayer::transitioning || shown.state == MediaPlayer::ready);

    const QSignalBlocker muteBlocker(muteButton);
    muteButton->setChecked(shown.muted);
    showIcon(*muteButton, shown.muted ? mutedIcon : volumeIcon);
    if (!volumeSlider->isSliderDown()) {
        const QSignalBlocker volumeBlocker(volumeSlider);
        volumeSlider->setValue(shown.volume);
    }
}

// Qt's setters leave a widget alone when the value it shows is the same, so only what moved is redrawn.
void MediaPlayerBar::showPosition() {
    positionShownAt.start();
    const double length = player.duration();
    const int state = player.playState();
    seekBar->setEnabled(length > 0.0 && state != MediaPlayer::undefined && state != MediaPlayer::stopped &&
                        state != MediaPlayer::mediaEnded);
    timeLabel->setText(QStringLiteral("%1 / %2").arg(clock(player.currentPosition()), clock(length)));
    if (seekBar->isSliderDown()) {
        return; // the listener's drag wins until it is let go
    }
    const QSignalBlocker blocker(seekBar);
    seekBar->setRange(0, milliseconds(length));
    seekBar->setValue(milliseconds(player.currentPosition()));
}

} // namespace quorvex
