#pragma once

#include "conversion/batch_run.h"

namespace skelvane::ui {

/// Runs conversion::convertAll on a worker thread while the calling thread, the window's,
/// waits in a local event loop that keeps painting the windows but holds back user input until
/// the run ends; returns the run's report. The observer is called on the worker thread.
conversion::RunReport convertAllInBackground(const joblist::JobList& jobs,
                                             conversion::RunObserver& observer);

}  // namespace skelvane::ui
