#pragma once

#include <bitset>

#include "common/body_parts.h"

namespace skelvane::conversion {

/// Which body parts are not converted, indexed by part number (bit 0 is unused).
using DroppedParts = std::bitset<common::kPartCount + 1>;

}  // namespace skelvane::conversion
