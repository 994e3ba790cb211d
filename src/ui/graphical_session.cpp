#include "ui/graphical_session.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include <QtGlobal>

namespace skelvane::ui {

namespace {

constexpr char kConvertHint[] = "skelvane-convert converts from a terminal";

// The value of a Qt option with a value among the arguments set aside for Qt; the last one
// wins, as in Qt.
QString qtOptionValue(const OpenWindow& request, std::string_view name) {
    QString value;
    for (std::size_t i = 1; i + 1 < request.qtArguments.size(); ++i) {
        const std::string_view arg = request.qtArguments.at(i);
        if (arg.substr(arg.starts_with("--") ? 2 : 1) == name && request.qtArguments.at(i + 1)) {
            value = QString::fromLocal8Bit(request.qtArguments.at(++i));
        }
    }
    return value;
}

std::string namedDisplays(const WindowSystem& system) {
    std::string named;
    if (!system.display.isEmpty()) named = "display " + system.display.toStdString();
    if (!system.waylandDisplay.isEmpty()) {
        if (!named.empty()) named += " or ";
        named += "Wayland display " + system.waylandDisplay.toStdString();
    }
    return named;
}

// A message that Qt logged while the guard was up, kept to be passed on.
struct HeldMessage {
    QtMsgType type;
    std::string file;
    int line;
    std::string function;
    std::string category;
    QString text;
};

}  // namespace

struct WindowSystemStartGuard::State {
    std::string failureLine;
    QtMessageHandler previous = nullptr;
    std::vector<HeldMessage> held;
};

namespace {

// A message handler is a plain function; it finds the guard that is up here.
WindowSystemStartGuard::State* guardState = nullptr;

void holdOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt aborts right after a fatal message; the program ends first, as any program that
        // cannot start does.
        std::fprintf(stderr, "%s\n", guardState->failureLine.c_str());
        std::fflush(stderr);
        std::_Exit(kExitNoDisplay);
    }
    const auto copy = [](const char* s) { return s != nullptr ? std::string(s) : std::string(); };
    guardState->held.push_back({type, copy(context.file), context.line, copy(context.function),
                                copy(context.category), text});
}

}  // namespace

WindowSystem windowSystemOf(const OpenWindow& request) {
    WindowSystem system{qtOptionValue(request, "platform"), qtOptionValue(request, "display"),
                        qEnvironmentVariable("WAYLAND_DISPLAY")};
    if (system.platform.isEmpty()) system.platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (system.display.isEmpty()) system.display = qEnvironmentVariable("DISPLAY");
    return system;
}

std::string noDisplayMessage(const WindowSystem& system) {
#if !defined(Q_OS_UNIX) || defined(Q_OS_MACOS)
    // Windows and macOS have their one window system in every session.
    Q_UNUSED(system);
    return {};
#else
    if (!system.platform.isEmpty() || !system.display.isEmpty() ||
        !system.waylandDisplay.isEmpty()) {
        return {};
    }
    constexpr std::string_view start =
        "skelvane: the window needs a graphical session, and neither DISPLAY nor "
        "WAYLAND_DISPLAY names one; ";
    constexpr std::string_view hint = kConvertHint;
    // Sized first: GCC 12 at -O2 takes a literal longer than the string's inner buffer, copied
    // and then appended to, for a write out of bounds.
    std::string message;
    message.reserve(start.size() + hint.size());
    message.append(start).append(hint);
    return message;
#endif
}

std::string unreachableDisplayMessage(const WindowSystem& system) {
    return "skelvane: the window needs a graphical session, and the " + namedDisplays(system) +
           " cannot be reached; " + kConvertHint;
}

WindowSystemStartGuard::WindowSystemStartGuard(std::string failureLine) {
    if (failureLine.empty()) return;
    state_ = std::make_unique<State>(State{std::move(failureLine), nullptr, {}});
    guardState = state_.get();
    state_->previous = qInstallMessageHandler(holdOrFail);
}

WindowSystemStartGuard::~WindowSystemStartGuard() {
    if (!state_) return;
    qInstallMessageHandler(state_->previous);
    guardState = nullptr;
    for (const HeldMessage& message : state_->held) {
        const QMessageLogContext context(message.file.c_str(), message.line,
                                         message.function.c_str(), message.category.c_str());
        state_->previous(message.type, context, message.text);
    }
}

}  // namespace skelvane::ui
