#include "conversion/mapping/dropped_parts.h"

#include "joblist/job_list.h"

namespace skelvane::conversion {

DroppedParts droppedPartsOf(const joblist::JobList& jobs, int row) {
    DroppedParts dropped;
    for (const joblist::BodyPart& part : joblist::kBodyParts) {
        if (jobs.isDropped(row, part.number)) dropped.set(part.number);
    }
    return dropped;
}

}  // namespace skelvane::conversion
