#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include <QApplication>

#include "conversion/platform.h"
#include "ui/form1.h"
#include "ui/graphical_session.h"
#include "ui/program_arguments.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

// The desktop entry's name (Wayland's app id) and the class of the window on X11, which the
// entry's StartupWMClass repeats, so that docks and task switchers match the window to the
// entry and its icon. Set here rather than left to argv[0], which a link or wrapper changes.
constexpr char kDesktopFileName[] = "org.skelvane.Skelvane";
constexpr char kApplicationName[] = "skelvane";

}  // namespace

int main(int argc, char* argv[]) {
    using namespace skelvane::ui;
    // Read before QApplication exists, which needs a display: --help and --version work
    // without one.
    ProgramRequest request = parseProgramArguments(argc, argv);
    if (std::holds_alternative<ShowProgramHelp>(request)) {
        std::cout << programHelpText();
        return kExitOk;
    }
    if (std::holds_alternative<ShowProgramVersion>(request)) {
        std::cout << programVersionText();
        return kExitOk;
    }
    if (const auto* error = std::get_if<ProgramUsageError>(&request)) {
        std::cerr << "skelvane: " << error->message << "\n"
                  << "Try 'skelvane --help' for more information.\n";
        return kExitUsage;
    }

    OpenWindow& open = std::get<OpenWindow>(request);
    // Before the window and its display: a mapping that cannot be used would fail every row.
    skelvane::conversion::MappingCatalog mappings;
    skelvane::joblist::MappingChoice mapping;
    if (open.map) {
        auto chosen = mappingChoiceOf(*open.map, mappings);
        if (const auto* problem = std::get_if<std::string>(&chosen)) {
            std::cerr << "skelvane: " << *problem << "\n";
            return kExitUsage;
        }
        mapping = std::get<skelvane::joblist::MappingChoice>(std::move(chosen));
    }
    const WindowSystem windowSystem = windowSystemOf(open);
    if (const std::string line = noDisplayMessage(windowSystem); !line.empty()) {
        std::cerr << line << "\n";
        return kExitNoDisplay;
    }
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    int qtArgc = static_cast<int>(open.qtArguments.size()) - 1;
    std::optional<QApplication> app;
    {
        // A platform chosen by name is left to Qt, whose message lists the platforms it has.
        const WindowSystemStartGuard guard(
            windowSystem.platform.isEmpty() ? unreachableDisplayMessage(windowSystem) : "");
        app.emplace(qtArgc, open.qtArguments.data());
    }
    // An interrupted Convert leaves no temporary file behind; a file-size limit fails that row.
    skelvane::conversion::platform::installSignalCleanup();
    Form1 window;
    window.startWithMapping(std::move(mappings), std::move(mapping));
    window.show();
    // Added once the event loop runs, so that any message about them shows over the window.
    QMetaObject::invokeMethod(
        &window, [&window, &open] { window.addSources(open.files); }, Qt::QueuedConnection);
    return QApplication::exec();
}
