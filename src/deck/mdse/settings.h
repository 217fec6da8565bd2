#pragma once

#include <chrono>
#include <optional>
#include <QByteArray>
#include <QStringView>

namespace quorvex::deck::mdse {

enum class Model { e11, e12, e52 };

// "MDS-E12"
[[nodiscard]] QByteArray modelName(Model model);
// "E11", "E12" or "E52", in any case.
[[nodiscard]] std::optional<Model> modelFrom(QStringView text);
// Only the E11 and the E52 switch between standby and on through the POWER command.
[[nodiscard]] bool hasPowerCommand(Model model);

// How this deck behaves where its maker's manual leaves the answer open, and how long its mechanism takes.
struct Settings {
    Model model = Model::e12;
    bool startInStandby = false;   // E11 and E52 only
    bool startWithoutDisc = false; // TOC DATA REQ is then answered with NO TOC DATA
    // REMOTE MODE and POWER are answered even when the deck already is in the state asked for.
    bool echoUnchanged = false;
    std::chrono::milliseconds tocReading{1000};  // after POWER On or a disc's insertion
    std::chrono::milliseconds inputLocking{200}; // the digital input after REC from stop
    std::chrono::milliseconds tocWriting{300};   // from the end of a recording to its TOC DATA
    // A name whose length is a whole number of packets also ends with a packet holding a single 00, not
    // only with one of sixteen 00.
    bool singleZeroEndsName = false;
    // DISC NAME WRITE's later packets, 20 71 pp, are known; else they are an UNDEFINED COMMAND.
    bool discNameContinuation = true;

    friend bool operator==(const Settings&, const Settings&) = default;
};

} // namespace quorvex::deck::mdse
