#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "conversion/rename/joint_report.h"
#include "conversion/rename/line_renamer.h"

namespace skelvane::conversion {

/// Names one joint whose name comes in pieces of any size, however long it is: keeps the start
/// of the old and the new name for display, their full lengths and which rows matched.
class JointNamer final : private ByteSink {
public:
    /// A namer that renames as `mapping`, which must outlive it, does.
    explicit JointNamer(const CompiledMapping& mapping);

    /// Takes the next piece of the name, blanks after it too (see LinePiece::inName).
    void feed(std::string_view piece);

    /// Ends the name, `length` bytes long without the blanks after it, and gives its entry; the
    /// namer is then ready for the next name.
    JointEntry finish(std::uint64_t length);

private:
    // Takes the new name as the renamer writes it, however long it grows: its start and its
    // length.
    std::error_code write(std::string_view bytes) override;
    void keep(std::string& kept, std::uint64_t& length, std::string_view piece);
    // What an exact mapping makes of the whole name; what a contains mapping's hits made of it.
    void nameWhole();
    void nameByHits();

    const CompiledMapping& mapping_;
    LineRenamer renamer_;
    RuleHits hits_;
    JointEntry entry_;
};

/// What `mapping` makes of one whole joint name.
JointEntry jointEntryFor(std::string_view name, const CompiledMapping& mapping);

}  // namespace skelvane::conversion
