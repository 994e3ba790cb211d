#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/rename_table.h"

namespace skelvane::reference {

/// The rename of one line done the plain way: 36 find-and-replace passes, each building a new
/// text from the one before.
std::string renameLinePlain(std::string_view line, const conversion::DroppedParts& dropped);

/// Reads the next line, ending at CR LF, LF or a lone CR, without its terminator; false when
/// the stream holds no further line (a last line without terminator is still a line).
bool readLine(std::istream& in, std::string& line);

/// Splits bytes into lines as readLine does.
std::vector<std::string> splitLines(std::string_view bytes);

/// The whole conversion, line by line: readLine, the plain rename, CR LF after each line.
void convertPlain(std::istream& in, std::ostream& out, const conversion::DroppedParts& dropped);

/// convertPlain over bytes in memory.
std::string referenceConversion(std::string_view bytes,
                                const conversion::DroppedParts& dropped = {});

}  // namespace skelvane::reference
