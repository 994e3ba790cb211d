#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <QApplication>

#include "conversion/files/platform.h"
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
    // As bytes that name files: argv itself on Linux, UTF-8 from the UTF-16 command line on
    // Windows, whose argv cannot spell every name. Qt's options are ASCII either way.
    std::vector<std::string> arguments =
        skelvane::conversion::platform::programArguments(argc, argv);
    std::vector<char*> argumentPointers{argv[0]};
    for (std::string& argument : arguments) argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);
    ProgramRequest request = parseProgramArguments(static_cast<int>(argumentPointers.size()) - 1,
                                                   argumentPointers.data());
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
