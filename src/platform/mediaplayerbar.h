#pragma once

#include "platform/mediaplayer.h"

#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;

namespace quorvex {

// The visible part of the media player control: play/pause and stop buttons, a seek bar that follows the
// position and seeks when dragged or clicked, the position and length as text, and the listener's volume
// and mute, which act on top of the program's own -6 dB. It shows the player's state after every
// stateChanged.
class MediaPlayerBar final : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 241;
    static constexpr int height = 41;

    explicit MediaPlayerBar(MediaPlayer& player, QWidget* parent = nullptr);

private:
    void buildLayout();
    void connectControls();
    void refresh();
    void refreshSeekBar();
    void togglePlay();

    MediaPlayer& player;
    QToolButton* playButton;
    QToolButton* stopButton;
    QSlider* seekBar;
    QLabel* timeLabel;
    QToolButton* muteButton;
    QSlider* volumeSlider;
};

} // namespace quorvex
