#pragma once

#include <system_error>

namespace skelvane::conversion {

/// Why the system layer will not touch a file although the system would let it: what it keeps
/// a user from. Failures the system reports travel as its own error codes beside these.
enum class FileError {
    /// The output is a link that leads nowhere.
    DanglingLink = 1,
    /// The output is a device, a pipe or a socket, which a conversion must not replace.
    NotRegularOutput,
    /// More temporary files at once than the signal cleanup can remove.
    TooManyTemporaries,
    /// The source's name is one that Windows keeps for a device (CON, NUL, COM1...).
    ReservedDeviceName,
};

/// The category of FileError codes; its messages are the reasons shown to the user.
const std::error_category& fileErrorCategory();

/// A FileError as an error code.
std::error_code make_error_code(FileError error);

/// Which file of a job an error concerns: the source read, or the output written.
enum class Side : unsigned char { Source, Output };

/// An error and the file of the job it concerns: how a step that reads one file and writes
/// another fails. Empty when nothing failed.
struct Failure {
    std::error_code error;
    Side side = Side::Source;

    /// True when something failed.
    explicit operator bool() const { return static_cast<bool>(error); }
};

}  // namespace skelvane::conversion

template <>
struct std::is_error_code_enum<skelvane::conversion::FileError> : std::true_type {};
