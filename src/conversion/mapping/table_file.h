#pragma once

// The text shape that mapping files and rig profiles share: UTF-8 with an optional byte-order
// mark, lines ending in LF or CR LF, at most kMaxTableFileBytes bytes.
//
//     # skelvane-map 1            the version line, which tells the kind of file
//     # title: Biped to Max       before the header row, `# word: value` is a directive
//     # Any other '#' line is a comment.
//     from,to,part                the header row
//     Bip01 Pelvis,Hips,Hip       rows, as many fields as the header has
//
// Blank lines are skipped; after the header row, lines starting with '#' are comments, so a
// first field that begins with '#' is quoted. Fields follow RFC 4180 quoting without line ends
// inside a field. A file with any fault is refused whole, with the line of the first one.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conversion/files/result.h"

namespace skelvane::conversion {

/// Why a mapping or a rig profile is refused although the system would let its file be read.
enum class MappingFault {
    /// A name the user gave that names no preset, profile or file.
    NoSuchName = 1,
    /// A file that is no file of the family this program reads; its reason says what is wrong
    /// where.
    Invalid,
};

/// The category of MappingFault codes.
const std::error_category& mappingFaultCategory();

/// A MappingFault as an error code.
std::error_code make_error_code(MappingFault fault);

/// Why a mapping or a rig profile could not be had: the reason as an error code (a
/// MappingFault, or the system's when its file cannot be read), the name or file as the user
/// gave it, the line at fault, and the reason in the words shown to the user.
struct MappingError {
    std::error_code error;
    std::string file;
    /// 1-based; 0 when the reason concerns the whole file (it cannot be read).
    std::size_t line = 0;
    std::string reason;

    /// "FILE:LINE: reason", or "FILE: reason" without a line.
    std::string message() const;
};

/// The most bytes a file of the mapping family may hold.
inline constexpr std::size_t kMaxTableFileBytes = 1024 * 1024;

/// What tells one kind of file of the family from another.
struct TableFormat {
    /// The first line, such as "# skelvane-map 1"; up to its last blank it is the same for
    /// every version of the kind.
    std::string_view versionLine;
    /// The header row before the rows, such as "from,to,part"; its fields say how many each
    /// row has.
    std::string_view header;
    /// The directives a file may give, for the message that refuses another ("title, match").
    std::string_view directives;
    /// The most rows a file may hold.
    std::size_t maxRows;
};

/// What a file's directives and rows are handed to as the file is read. Each returns why it
/// refuses what it is given, which refuses the file at that line, or nothing.
class TableContents {
public:
    virtual ~TableContents() = default;
    /// A directive `# word: value` before the header row, the value without blanks around it.
    virtual std::optional<std::string> directive(std::string_view word, std::string_view value) = 0;
    /// The fields of the row on `line`, as many as the header has.
    virtual std::optional<std::string> row(std::vector<std::string>& fields, std::size_t line) = 0;
    /// The end of the file, after every row; a refusal here names the line after the last.
    virtual std::optional<std::string> end() { return std::nullopt; }
};

/// Reads the text of a file of the family, handing its directives and rows to `contents` in
/// order and the comment lines before the header row, without their '#', to `notes`, one per
/// line; `fileName` names the file in errors. Nothing when the whole file is read.
std::optional<MappingError> readTableFile(std::string_view text, std::string_view fileName,
                                          const TableFormat& format, TableContents& contents,
                                          std::string& notes);

/// What reading a file of the family that is a named pipe does while no program writes to it.
enum class NamedPipe {
    /// Waits for a writer, as `cat` does: the command line.
    WaitForWriter,
    /// Refuses the file at once: the window, which must not freeze.
    RefuseWithoutWriter,
};

/// How a name the user gives is turned into a mapping or a rig profile.
struct ResolveOptions {
    /// What reading a file that is a named pipe does while nothing writes to it.
    NamedPipe namedPipe = NamedPipe::WaitForWriter;
    /// Keeps a file under its absolute path, as the window names its files, rather than as the
    /// user gave it.
    bool fileByAbsolutePath = false;
};

/// The bytes of the file at `file`, at most one past kMaxTableFileBytes (readTableFile refuses
/// a text that long), or why it cannot be read, as an error without a line.
Result<std::string, MappingError> readTableFileBytes(const std::filesystem::path& file,
                                                     NamedPipe namedPipe);

/// `text` without the spaces and tabs at either end.
std::string_view trimBlanks(std::string_view text);

/// `text` in single quotes, as messages quote what a file holds.
std::string inQuotes(std::string_view text);

/// Why `text`, given in a file's field called `field`, cannot be a joint name: it begins or
/// ends with a blank, or holds a control character (C0, DEL, C1) or a line or paragraph
/// separator, which would break the line it is written in; nothing when it can. `text` is
/// UTF-8 and not empty.
std::optional<std::string> whyNotAJointName(std::string_view field, std::string_view text);

}  // namespace skelvane::conversion

template <>
struct std::is_error_code_enum<skelvane::conversion::MappingFault> : std::true_type {};
