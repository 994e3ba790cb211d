#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "conversion/mapping/mapping_catalog.h"
#include "joblist/job_list.h"

namespace skelvane::ui {

/// The window program is to open with these files in its job list.
struct OpenWindow {
    /// The FILE arguments, in the order given, as the bytes the system gave them.
    std::vector<std::string> files;
    /// The value of --map, when given: the mapping of those files and of rows added later.
    std::optional<std::string> map;
    /// The program name, then Qt's own options with their values, as pointers into the
    /// caller's argv and ended by a null pointer: what QApplication gets to see.
    std::vector<char*> qtArguments;
};

/// The window program is to print its help, or its version, and end.
struct ShowProgramHelp {};
struct ShowProgramVersion {};
/// The command line is wrong; the message says how.
struct ProgramUsageError {
    std::string message;
};

/// What the window program's command line asks for.
using ProgramRequest =
    std::variant<OpenWindow, ShowProgramHelp, ShowProgramVersion, ProgramUsageError>;

/// Reads the window program's command line without needing a display: Qt's own options
/// (-platform NAME, -style NAME, -reverse...) are set aside for QApplication, "--" ends the
/// options, any other argument starting with "-" but "-" itself and the program's own options
/// is a usage error.
ProgramRequest parseProgramArguments(int argc, char* argv[]);

/// The choice a --map value stands for: "auto" the best fit, a preset's name that preset, any
/// other value a mapping file, loaded into `catalog` and named by its absolute path, without
/// waiting for a named pipe's writer. When the value cannot be used, the reason as a message
/// that names the file as given.
std::variant<joblist::MappingChoice, std::string> mappingChoiceOf(
    std::string_view value, conversion::MappingCatalog& catalog);

/// The text that --help prints.
std::string programHelpText();

/// The line that --version prints.
std::string programVersionText();

}  // namespace skelvane::ui
