#pragma once

#include <functional>

namespace skelvane::ui {

/// Runs the work on a worker thread while the calling thread, the window's, waits in a local
/// event loop that keeps painting the windows but holds back user input until the work ends;
/// rethrows whatever the work threw.
void runInBackground(const std::function<void()>& work);

}  // namespace skelvane::ui
