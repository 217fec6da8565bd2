#include "deck/mdse/commands.h"

#include "deck/hex.h"

#include <array>

namespace quorvex::deck::mdse {
namespace {

struct Pattern {
    CommandKind kind;
    std::array<std::uint8_t, 3> bytes; // the fixed leading bytes
    qsizetype fixed;                   // how many of them there are
    qsizetype length;                  // the whole data's length; 0 for a name write
    const char* name;
};

constexpr qsizetype longestName = 16;

constexpr std::array<Pattern, 24> patterns{{
    {CommandKind::remoteOn, {0x10, 0x03}, 2, 2, "REMOTE MODE On"},
    {CommandKind::remoteOff, {0x10, 0x04}, 2, 2, "REMOTE MODE Off"},
    {CommandKind::powerOn, {0x01, 0x02}, 2, 2, "POWER On"},
    {CommandKind::powerOff, {0x01, 0x03}, 2, 2, "POWER Off"},
    {CommandKind::play, {0x02, 0x01}, 2, 2, "PLAY"},
    {CommandKind::stop, {0x02, 0x02}, 2, 2, "STOP"},
    {CommandKind::pause, {0x02, 0x03}, 2, 2, "PAUSE ON/OFF"},
    {CommandKind::pauseOn, {0x02, 0x06}, 2, 2, "PAUSE ON"},
    {CommandKind::previousTrack, {0x02, 0x15}, 2, 2, "PREV TRACK"},
    {CommandKind::nextTrack, {0x02, 0x16}, 2, 2, "NEXT TRACK"},
    {CommandKind::record, {0x02, 0x21}, 2, 2, "REC"},
    {CommandKind::statusRequest, {0x20, 0x20}, 2, 2, "STATUS REQ"},
    {CommandKind::discDataRequest, {0x20, 0x21}, 2, 2, "DISC DATA REQ"},
    {CommandKind::modelNameRequest, {0x20, 0x22}, 2, 2, "MODEL NAME REQ"},
    {CommandKind::tocDataRequest, {0x20, 0x44, 0x01}, 3, 3, "TOC DATA REQ"},
    {CommandKind::trackTimeRequest, {0x20, 0x45, 0x01}, 3, 4, "TRACK NO. TIME REQ track"},
    {CommandKind::discNameRequest, {0x20, 0x48, 0x01}, 3, 3, "DISC NAME REQ"},
    {CommandKind::trackNameRequest, {0x20, 0x4A}, 2, 3, "TRACK NO. NAME REQ track"},
    {CommandKind::recRemainRequest, {0x20, 0x54, 0x01}, 3, 3, "REC REMAIN REQ"},
    {CommandKind::nameRemainRequest, {0x20, 0x55, 0x00}, 3, 4, "NAME REMAIN REQ track"},
    {CommandKind::discNameWrite, {0x20, 0x70}, 2, 0, "DISC NAME WRITE packet"},
    {CommandKind::discNameMore, {0x20, 0x71}, 2, 0, "DISC NAME WRITE packet"},
    {CommandKind::trackNameWrite, {0x20, 0x72}, 2, 0, "TRACK NO. NAME WRITE track"},
    {CommandKind::trackNameMore, {0x20, 0x73}, 2, 0, "TRACK NO. NAME WRITE packet"},
}};

bool fits(const Pattern& pattern, QByteArrayView data) {
    const bool lengthFits = pattern.length != 0 ? data.size() == pattern.length
                                                : data.size() > 3 && data.size() <= 3 + longestName;
    if (!lengthFits) {
        return false;
    }
    for (qsizetype at = 0; at < pattern.fixed; ++at) {
        if (static_cast<std::uint8_t>(data[at]) != pattern.bytes.at(static_cast<std::size_t>(at))) {
            return false;
        }
    }
    return true;
}

const Pattern* patternOf(QByteArrayView data) {
    for (const Pattern& pattern : patterns) {
        if (fits(pattern, data)) {
            return &pattern;
        }
    }
    return nullptr;
}

} // namespace

Command commandIn(QByteArrayView data) {
    const Pattern* pattern = patternOf(data);
    if (pattern == nullptr) {
        return {};
    }
    Command command{pattern->kind};
    if (pattern->length == 0) {
        command.argument = static_cast<std::uint8_t>(data[2]);
        command.nameBytes = data.sliced(3);
    } else if (pattern->length > pattern->fixed) {
        command.argument = static_cast<std::uint8_t>(data.back());
    }
    return command;
}

QString nameText(QByteArrayView bytes) {
    constexpr std::uint8_t firstKatakana = 0xA1;
    constexpr std::uint8_t lastKatakana = 0xDF;
    constexpr char16_t halfWidthKatakana = u'\uFF61';
    QString text;
    for (const char byte : bytes) {
        const auto value = static_cast<std::uint8_t>(byte);
        if (value == 0) {
            break;
        }
        if (value < 0x80) {
            text.append(QLatin1Char(byte));
        } else if (value >= firstKatakana && value <= lastKatakana) {
            text.append(QChar(static_cast<char16_t>(halfWidthKatakana + (value - firstKatakana))));
        } else {
            text.append(QChar(QChar::ReplacementCharacter));
        }
    }
    return text;
}

QString commandName(QByteArrayView data) {
    const Pattern* pattern = patternOf(data);
    if (pattern == nullptr) {
        return QStringLiteral("unknown command ") + hexBytes(data);
    }
    const Command command = commandIn(data);
    QString name = QString::fromLatin1(pattern->name);
    if (pattern->length > pattern->fixed || pattern->length == 0) {
        name += QStringLiteral(" %1").arg(command.argument);
    }
    if (pattern->length == 0) {
        name += QStringLiteral(" \"%1\"").arg(nameText(command.nameBytes));
    }
    return name;
}

} // namespace quorvex::deck::mdse
