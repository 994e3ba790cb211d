#pragma once

#include <memory>
#include <string>

#include <QString>

#include "ui/program_arguments.h"

namespace skelvane::ui {

/// The window program's exit status when it has no display to show its window on.
inline constexpr int kExitNoDisplay = 1;

/// Where Qt is to show the window, as far as it can be told before Qt starts: the platform
/// chosen with -platform or QT_QPA_PLATFORM, the X display named with -display or DISPLAY and
/// the Wayland display named with WAYLAND_DISPLAY; each empty when none is.
struct WindowSystem {
    QString platform;
    QString display;
    QString waylandDisplay;
};

/// The window system that the command line and the environment choose.
WindowSystem windowSystemOf(const OpenWindow& request);

/// The one line the window program prints instead of opening its window when it has nowhere
/// to show it: no platform chosen and no display named. Empty otherwise.
std::string noDisplayMessage(const WindowSystem& system);

/// The one line the window program prints when a display is named but Qt cannot reach it.
std::string unreachableDisplayMessage(const WindowSystem& system);

/// While it lives, Qt failing to start its window system ends the program with kExitNoDisplay
/// and one line on standard error instead of Qt's own abort; the messages Qt logs meanwhile
/// are held back and passed on once it is gone. Qt reports that failure, whatever its cause (a
/// display that is down, refuses the connection or names no server), as its one fatal message
/// while QApplication is made; that is what the guard takes it by. One guard at a time; an
/// empty line leaves Qt's handling alone.
class WindowSystemStartGuard {
public:
    /// Guards with the line to print on failure.
    explicit WindowSystemStartGuard(std::string failureLine);
    ~WindowSystemStartGuard();
    WindowSystemStartGuard(const WindowSystemStartGuard&) = delete;
    WindowSystemStartGuard& operator=(const WindowSystemStartGuard&) = delete;

    /// What a guard that is up holds: its line and the messages held back.
    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace skelvane::ui
