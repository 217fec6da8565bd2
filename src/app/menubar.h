#pragma once

#include <array>

class QAction;
class QMainWindow;
class QMenu;

namespace quorvex {

// The window's menu bar, above the controls: File, Disc and Help. The actions belong to the window (Qt
// parent ownership); this is only the directory of those the window binds.
struct Menus {
    QAction* addFiles = nullptr;
    QAction* addFolder = nullptr;
    QAction* saveList = nullptr;
    QAction* printInsert = nullptr;
    QAction* quit = nullptr;
    std::array<QAction*, 3> discLengths{}; // 60, 74 and 80 minutes, one ticked; data(): the minutes
    QAction* asciiTitles = nullptr;        // checkable
    QAction* gapless = nullptr;            // checkable; disabled in pause mode
    QMenu* soundOutput = nullptr;          // filled by SoundOutputMenu
    QAction* send44k = nullptr;            // checkable
    QMenu* level = nullptr;                // disabled during a run
    std::array<QAction*, 4> levels{};      // one ticked; data(): the level's setting text
    QAction* serialDevice = nullptr;       // disabled during a run
    QAction* saveTrace = nullptr;
    QAction* recordedDiscs = nullptr;
    QAction* checkDisc = nullptr;
    QAction* about = nullptr;
};

[[nodiscard]] Menus buildMenuBar(QMainWindow& window);

} // namespace quorvex
