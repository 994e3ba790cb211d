#pragma once

#include <bitset>

#include "joblist/body_parts.h"

namespace skelvane::joblist {
class JobList;
}

namespace skelvane::conversion {

/// Which body parts are not converted, indexed by part number (bit 0 is unused).
using DroppedParts = std::bitset<joblist::kPartCount + 1>;

/// The parts of a job-list row that are not converted: those whose flag cell is not 0.
DroppedParts droppedPartsOf(const joblist::JobList& jobs, int row);

}  // namespace skelvane::conversion
