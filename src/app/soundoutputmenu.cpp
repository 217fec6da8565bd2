#include "app/soundoutputmenu.h"

#include "platform/mediaplayer.h"
#include "platform/settingsstore.h"

#include <algorithm>
#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace quorvex {

namespace {

// A description is shown as it is: an ampersand in it is no mnemonic.
QString menuText(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

SoundOutputMenu::SoundOutputMenu(QMenu& menu, MediaPlayer& player, SettingsStore& settings)
    : menu(menu), player(player), settings(settings), chosen(settings.read(setting::output)) {
    connect(&menu, &QMenu::aboutToShow, this, &SoundOutputMenu::rebuild);
    connect(&player, &MediaPlayer::soundOutputsChanged, this, [this] {
        follow();
        rebuild();
    });
    follow();
    rebuild();
}

bool SoundOutputMenu::chosenIsConnected() const {
    const std::optional<std::vector<SoundOutput>> listed = player.soundOutputs();
    return chosen.isEmpty() || !listed ||
           std::any_of(listed->begin(), listed->end(),
                       [this](const SoundOutput& output) { return output.name == chosen; });
}

QString SoundOutputMenu::chosenLabel() const {
    const auto known = descriptions.find(chosen);
    return known != descriptions.end() && !known->second.isEmpty() ? known->second : chosen;
}

bool SoundOutputMenu::fallBackIfMissing() {
    if (fallenBack || chosenIsConnected()) {
        return false;
    }
    fallenBack = true;
    player.setSoundOutput({});
    return true;
}

void SoundOutputMenu::follow() {
    for (const SoundOutput& output : player.soundOutputs().value_or(std::vector<SoundOutput>{})) {
        descriptions[output.name] = output.description;
    }
    if (chosenIsConnected()) {
        fallenBack = false;
        player.setSoundOutput(chosen);
    }
}

void SoundOutputMenu::rebuild() {
    menu.clear();
    auto* oneOutput = new QActionGroup(&menu);
    const auto add = [&](const QString& text, const QString& name) {
        QAction* entry = menu.addAction(text);
        entry->setCheckable(true);
        entry->setChecked(name == chosen);
        entry->setData(name);
        oneOutput->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, name] { choose(name); });
    };
    add(QStringLiteral("System default"), {});
    for (const SoundOutput& output : player.soundOutputs().value_or(std::vector<SoundOutput>{})) {
        add(menuText(output.description.isEmpty() ? output.name : output.description), output.name);
    }
    if (!chosenIsConnected()) {
        add(menuText(chosenLabel() + QStringLiteral(" (not connected)")), chosen);
    }
}

void SoundOutputMenu::choose(const QString& name) {
    if (name != chosen) {
        chosen = name;
        settings.save(setting::output, chosen);
    }
    fallenBack = false;
    player.setSoundOutput(chosen);
}

} // namespace quorvex
