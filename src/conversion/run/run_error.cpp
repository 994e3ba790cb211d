#include "conversion/run/run_error.h"

namespace skelvane::conversion {

namespace {

class RunErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "skelvane"; }

    std::string message(int code) const override {
        switch (static_cast<RunError>(code)) {
            case RunError::OutputIsSource:
                return "the output is the source file itself";
            case RunError::OutputIsOtherSource:
                return "the output is the source of another file of the run";
            case RunError::AlreadyWritten:
                return "the output was already written in this run";
            case RunError::NotBvh:
                return "not a BVH file";
            case RunError::StreamsAreOneFile:
                return "standard input and standard output are the same file";
            case RunError::OutputIsMappingFile:
                return "the output is the mapping file";
            case RunError::IdentityUnknown:
                return "the system does not tell whether the output is a file of this run";
            case RunError::StreamsMayBeOneFile:
                return "the system does not tell whether standard input and standard output are "
                       "the same file";
        }
        return "unknown error";
    }
};

}  // namespace

const std::error_category& runErrorCategory() {
    static const RunErrorCategory category;
    return category;
}

std::error_code make_error_code(RunError error) {
    return {static_cast<int>(error), runErrorCategory()};
}

bool isRefusal(const std::error_code& error) {
    return error.category() == runErrorCategory() || error == FileError::DanglingLink ||
           error == FileError::NotRegularOutput;
}

}  // namespace skelvane::conversion
