#pragma once

#include <string>
#include <system_error>

#include "conversion/files/file_error.h"

namespace skelvane::conversion {

/// Why the run refuses a job although the system would let it go ahead. Failures the system
/// reports (a missing file, a full disk) travel as the system's own error codes beside these.
enum class RunError {
    /// The output is the job's own source, by whatever name.
    OutputIsSource = 1,
    /// The output is the source of another job of the run.
    OutputIsOtherSource,
    /// The output was already written (or, in a dry run, would be) by another job of the run.
    AlreadyWritten,
    /// The source does not start like a BVH file.
    NotBvh,
    /// Standard input and standard output are one file, which would never reach its end.
    StreamsAreOneFile,
    /// The output is a mapping file the run reads.
    OutputIsMappingFile,
    /// The output exists and a file of the run is one whose identity the system does not tell,
    /// so it may be that file.
    IdentityUnknown,
    /// Standard input or output is a file whose identity the system does not tell, so they may
    /// be one file.
    StreamsMayBeOneFile,
};

/// The category of RunError codes; its messages are the reasons shown to the user.
const std::error_category& runErrorCategory();

/// A RunError as an error code.
std::error_code make_error_code(RunError error);

/// True for the errors that mean the run refused a job rather than failed at it: the run's own,
/// and an output that is no regular file or a link that leads nowhere.
bool isRefusal(const std::error_code& error);

}  // namespace skelvane::conversion

template <>
struct std::is_error_code_enum<skelvane::conversion::RunError> : std::true_type {};
