#pragma once

#include <chrono>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace quorvex::deck::mdse {

// The data bytes of the deck's reports; reportPacket() puts them in a packet.
namespace reports {
inline const QByteArray remoteOn("\x10\x03", 2);
inline const QByteArray remoteOff("\x10\x04", 2);
inline const QByteArray powerOn("\x01\x02", 2);
inline const QByteArray powerOff("\x01\x03", 2);
inline const QByteArray play("\x02\x01", 2);
inline const QByteArray stop("\x02\x02", 2);
inline const QByteArray pause("\x02\x03", 2);
inline const QByteArray rec("\x02\x21", 2);
// The maker's REC PAUSE report is not known byte for byte; this deck sends 02 22 in its place, so that a
// program can see the deck answer REC from stop without relying on its bytes.
inline const QByteArray recPause("\x02\x22", 2);
inline const QByteArray discExist("\x20\x82", 2);
inline const QByteArray trackEnd("\x20\x83", 2);
inline const QByteArray noDiscName("\x20\x85", 2);
inline const QByteArray noTrackName("\x20\x86", 2);
inline const QByteArray writePacketReceived("\x20\x87", 2);
inline const QByteArray noTocData("\x20\x89", 2);
inline const QByteArray undefinedCommand("\x40\x01", 2);
inline const QByteArray impossible("\x40\x03", 2);
} // namespace reports

// Times go as minutes and seconds, each one binary byte: whole seconds, the part of a second dropped (as a
// deck's time display counts), minutes held to 255.

// 20 21 00 dd 00 00 00: dd 01 (recordable), 05 when record-protected.
[[nodiscard]] QByteArray discDataReport(bool writeProtected);
// 20 22 and the name, padded with 00 to 14 bytes.
[[nodiscard]] QByteArray modelNameReport(QByteArrayView name);
// 20 60 01 first last mm ss 00: tracks 1..last, or first and last 00 on a disc without tracks.
[[nodiscard]] QByteArray tocDataReport(int tracks, std::chrono::milliseconds recorded);
// 20 62 01 00 mm ss
[[nodiscard]] QByteArray trackTimeReport(std::chrono::milliseconds length);
// 20 54 01 mm ss
[[nodiscard]] QByteArray recRemainReport(std::chrono::milliseconds left);
// 20 55 00 tt hi lo: the characters the name of track tt (00: the disc) could have.
[[nodiscard]] QByteArray nameRemainReport(int track, int characters);

// A name as the deck reads it out: 16 bytes a packet, the last padded with 00. The disc's name goes as
// 20 48 01 then 20 49 02, 20 49 03 …; a track's as 20 4A tt then 20 4B 02 …. A name whose length is a
// whole number of packets gets one more packet of sixteen 00, as a name written to the deck must, so the
// reader always finds its end.
[[nodiscard]] std::vector<QByteArray> discNameReports(QByteArrayView name);
[[nodiscard]] std::vector<QByteArray> trackNameReports(int track, QByteArrayView name);

// What a log shows for a report: "REMOTE MODE On", "STATUS rec-pause, track 4, input unlocked",
// "TOC DATA tracks 1-4, 0:12", "TRACK NAME track 2 "Intro"".
[[nodiscard]] QString reportName(QByteArrayView data);

} // namespace quorvex::deck::mdse
