#pragma once

#include "app/controls.h"
#include "link/recorderline.h"
#include "platform/platform.h"

#include <cstdint>
#include <QMainWindow>
#include <QTimer>

namespace quorvex {

// The program's one window. It owns every control and the outside things (serial port, settings,
// message boxes, event pump), and binds each control event to its handler.
class frmQuorvex final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmQuorvex(Platform platform, QWidget* parent = nullptr);

    // Start-up, run once before the window is first shown.
    void Form_Load();

    // One command frame to the recorder: nothing in pause mode or while the port is closed.
    void sendCommand(std::int16_t category, std::int16_t code);
    // Closes the port, renumbers it, remembers the number and opens it again.
    void optCom_Click(int index);
    // Selects an option button the way a click would, which runs optCom_Click.
    void selectPort(int index);

    void btnOn_Click();
    void btnOff_Click();
    void btnPlay_Click();
    void btnStop_Click();
    void btnBack_Click();
    void btnForward_Click();
    void chkInsertPauses_Click();

    [[nodiscard]] bool pauseMode() const;

private:
    void connectControls();
    void showLineLost(const QString& reason);

    Platform platform;
    Controls ui;
    RecorderLine line;
};

} // namespace quorvex
