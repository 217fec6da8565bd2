#pragma once

#include "platform/mediaplayer.h"

#include <optional>
#include <QElapsedTimer>
#include <QIcon>
#include <QTimer>
#include <QWidget>
#include <utility>

class QLabel;
class QSlider;
class QToolButton;

namespace quorvex {

// The visible part of the media player control: play/pause and stop buttons, a seek bar that follows the
// position and seeks when dragged or clicked, the position and length as text, and the listener's volume
// and mute, which act on top of the program's own level. A change of play state, volume or mute shows at
// once; position and length (seek bar and text) follow at most ten times a second, as the player reports
// the position far more often than the eye can follow. Only the parts whose shown value changed are redrawn.
class MediaPlayerBar final : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 241;
    static constexpr int height = 41;

    explicit MediaPlayerBar(MediaPlayer& player, QWidget* parent = nullptr);

    // Held: the volume and mute are disabled (a recording run sets the player's own); let go, they are
    // enabled and the player gets the volume and mute they had when they were held.
    void holdListenerLevel(bool held);

private:
    void buildLayout();
    void connectControls();
    void playerChanged();
    void showState();
    void showPosition();
    void togglePlay();

    // What showState() last showed; position and length are not part of it.
    struct Shown {
        int state = -1;
        int volume = -1;
        bool muted = false;
        bool operator==(const Shown&) const = default;
    };

    MediaPlayer& player;
    QToolButton* playButton;
    QToolButton* stopButton;
    QSlider* seekBar;
    QLabel* timeLabel;
    QToolButton* muteButton;
    QSlider* volumeSlider;
    Shown shown;
    std::optional<std::pair<int, bool>> heldLevel; // the volume and mute while held
    QTimer positionDue;            // a position change that came too soon after the last one shown
    QElapsedTimer positionShownAt; // when the position was last shown
    QIcon playIcon;
    QIcon pauseIcon;
    QIcon volumeIcon;
    QIcon mutedIcon;
};

} // namespace quorvex
