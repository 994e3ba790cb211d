#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/mapping/mapping.h"
#include "reference/rename_rules.h"

namespace skelvane::reference {

/// The rename of one line by the built-in table done the plain way: 36 find-and-replace
/// passes over kRenameRules, each building a new text from the one before.
std::string renameLinePlain(std::string_view line, const conversion::DroppedParts& dropped);

/// The rename of one line by any mapping done the plain way: for `contains`, a
/// find-and-replace pass per row; for `exact`, the line taken apart with string functions and
/// its joint name, if any, looked up among the rows.
std::string renameLinePlain(std::string_view line, const conversion::Mapping& mapping,
                            const conversion::DroppedParts& dropped);

/// Reads the next line, ending at CR LF, LF or a lone CR, without its terminator; false when
/// the stream holds no further line (a last line without terminator is still a line).
bool readLine(std::istream& in, std::string& line);

/// Splits bytes into lines as readLine does.
std::vector<std::string> splitLines(std::string_view bytes);

/// The whole conversion by the built-in table, line by line: readLine, the plain rename, CR LF
/// after each line.
void convertPlain(std::istream& in, std::ostream& out, const conversion::DroppedParts& dropped);

/// convertPlain over bytes in memory.
std::string referenceConversion(std::string_view bytes,
                                const conversion::DroppedParts& dropped = {});

/// The same with any mapping.
std::string referenceConversion(std::string_view bytes, const conversion::Mapping& mapping,
                                const conversion::DroppedParts& dropped = {});

}  // namespace skelvane::reference
