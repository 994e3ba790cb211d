#include "ui/program_arguments.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "conversion/files/platform.h"
#include "conversion/mapping/presets.h"

namespace skelvane::ui {

namespace {

// Qt's own options as QGuiApplication, QApplication and the X11 platform plugin read them
// (each with one or two leading dashes). They must pass without a display, so they are known
// here by name instead of being left for QApplication to find.
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin",      "qwindowgeometry",
    "geometry", "qwindowtitle",       "title",         "qwindowicon", "icon",
    "style",    "stylesheet",         "session",       "display",     "name",
    "visual"};
constexpr std::string_view kQtFlags[] = {"reverse", "testability", "widgetcount", "qdevel",
                                         "qdebug",  "dograb",      "nograb"};
constexpr std::string_view kQtOptionsWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};

template <std::size_t N>
bool isOneOf(std::string_view name, const std::string_view (&names)[N]) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

template <std::size_t N>
bool startsWithOneOf(std::string_view name, const std::string_view (&prefixes)[N]) {
    return std::any_of(std::begin(prefixes), std::end(prefixes),
                       [name](std::string_view prefix) { return name.starts_with(prefix); });
}

// --map and -m take the next argument as their value, whatever it is; --map=VALUE and -mVALUE
// carry it, as skelvane-convert reads them.
bool isMapOption(std::string_view arg) {
    return arg == "--map" || arg.starts_with("--map=") ||
           (arg.starts_with("-m") && !arg.starts_with("--"));
}

}  // namespace

ProgramRequest parseProgramArguments(int argc, char* argv[]) {
    OpenWindow request;
    if (argc > 0) request.qtArguments.push_back(argv[0]);
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            request.files.emplace_back(argv[i]);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            return ShowProgramHelp{};
        } else if (arg == "--version") {
            return ShowProgramVersion{};
        } else if (isMapOption(arg)) {
            const std::string_view name = arg.starts_with("--") ? "--map" : "-m";
            std::string value;
            if (arg == "--map" || arg == "-m") {
                if (i + 1 < argc) value = argv[++i];
            } else {
                value = arg.substr(arg.starts_with("--") ? 6 : 2);
            }
            if (value.empty()) {
                return ProgramUsageError{"option " + std::string(name) + " needs a value"};
            }
            request.map = std::move(value);
        } else {
            const std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
            if (isOneOf(name, kQtFlags) || startsWithOneOf(name, kQtOptionsWithEquals)) {
                request.qtArguments.push_back(argv[i]);
            } else if (isOneOf(name, kQtOptionsWithValue)) {
                if (i + 1 == argc) {
                    return ProgramUsageError{"option " + std::string(arg) + " needs a value"};
                }
                request.qtArguments.push_back(argv[i]);
                request.qtArguments.push_back(argv[++i]);
            } else {
                return ProgramUsageError{"unknown option " + std::string(arg)};
            }
        }
    }
    request.qtArguments.push_back(nullptr);
    return request;
}

std::variant<joblist::MappingChoice, std::string> mappingChoiceOf(
    std::string_view value, conversion::MappingCatalog& catalog) {
    // Absolute, as the sources are, so that the menu's Load Mapping File finds it the same file.
    // Started from a menu or a file manager, the program has no terminal to show that it waits:
    // a named pipe that nothing writes to is refused instead.
    auto resolved = catalog.resolve(value, {.namedPipe = conversion::NamedPipe::RefuseWithoutWriter,
                                            .fileByAbsolutePath = true});
    if (!resolved) {
        const conversion::MappingError& refused = resolved.error();
        if (refused.error == conversion::MappingFault::NoSuchName) {
            return "--map: " + refused.reason + " (see --help)";
        }
        return refused.message();
    }
    return std::move(resolved).value();
}

std::string programHelpText() {
    std::string text =
        "Usage: skelvane [options] [FILE...]\n"
        "Opens the window that converts BVH files with Poser joint names into BVH files\n"
        "with Max joint names. Each FILE is added to the job list in the order given, as\n"
        "Open Source... adds one, up to 22 rows.\n"
        "\n"
        "Options:\n"
        "  -m, --map=MAP  rename with MAP: auto (for each file the preset that fits it\n"
        "                 best), a preset below or a mapping file; poser-max when not\n"
        "                 given. The FILEs take it, and so do files added later until\n"
        "                 another mapping is chosen.\n"
        "  -h, --help     show this help\n"
        "      --version  show the version\n"
        "      --         take every later argument as a FILE\n"
        "\n"
        "Presets:\n";
    std::size_t width = 0;
    for (const conversion::Mapping& preset : conversion::presets()) {
        width = std::max(width, preset.name.size());
    }
    for (const conversion::Mapping& preset : conversion::presets()) {
        text += "  " + preset.name + std::string(width - preset.name.size() + 2, ' ') +
                preset.title + "\n";
    }
    return text +
           "\n"
           "Qt's own options are passed on to Qt, for example -platform NAME, -style NAME,\n"
           "-display DISPLAY, -reverse.\n"
           "\n"
           "To convert without a window, use skelvane-convert.\n";
}

std::string programVersionText() {
    return "skelvane " SKELVANE_VERSION "\n";
}

}  // namespace skelvane::ui
