#pragma once

#include <map>
#include <QObject>
#include <QString>

class QMenu;

namespace quorvex {

class MediaPlayer;
class SettingsStore;

// Disc ▸ Sound output: "System default" and every output the player lists, by description, the chosen one
// ticked; the choice is remembered as General/Output (the player's name for it, empty for the default) and
// saved when it changes. A remembered output that is not there stays chosen and is shown as
// "<description or name> (not connected)" whenever the menu opens or the player's list changes; it is
// played to again as soon as it is back.
class SoundOutputMenu final : public QObject {
    Q_OBJECT

public:
    SoundOutputMenu(QMenu& menu, MediaPlayer& player, SettingsStore& settings);

    // True unless the remembered output is missing from the player's list (the default, and any output
    // before the player has listed them, count as there).
    [[nodiscard]] bool chosenIsConnected() const;
    // The chosen output as the user knows it: its description where the player gave one, else its name.
    [[nodiscard]] QString chosenLabel() const;
    // Before a preview: a missing output gives way to the default output until it is back. True when that
    // starts now, so that it is said once.
    bool fallBackIfMissing();

private:
    void rebuild();
    void choose(const QString& name);
    // The player plays to the chosen output, or to the default one while the chosen one is missing.
    void follow();

    QMenu& menu;
    MediaPlayer& player;
    SettingsStore& settings;
    QString chosen;
    std::map<QString, QString> descriptions; // every output the player listed since the start
    bool fallenBack = false;
};

} // namespace quorvex
