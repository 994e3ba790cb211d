#include "conversion/files/file_error.h"

#include <string>

namespace skelvane::conversion {

namespace {

class FileErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "skelvane-files"; }

    std::string message(int code) const override {
        switch (static_cast<FileError>(code)) {
            case FileError::DanglingLink:
                return "the output is a link that points nowhere";
            case FileError::NotRegularOutput:
                return "the output is not a regular file (a device, a pipe or a socket)";
            case FileError::TooManyTemporaries:
                return "too many temporary files at once";
            case FileError::ReservedDeviceName:
                return "a name Windows keeps for a device, not a file";
        }
        return "unknown error";
    }
};

}  // namespace

const std::error_category& fileErrorCategory() {
    static const FileErrorCategory category;
    return category;
}

std::error_code make_error_code(FileError error) {
    return {static_cast<int>(error), fileErrorCategory()};
}

}  // namespace skelvane::conversion
