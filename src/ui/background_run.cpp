#include "ui/background_run.h"

#include <exception>
#include <thread>

#include <QEventLoop>

namespace skelvane::ui {

conversion::RunReport convertAllInBackground(const joblist::JobList& jobs,
                                             conversion::RunObserver& observer) {
    QEventLoop waiting;
    conversion::RunReport report;
    std::exception_ptr thrown;
    std::thread worker([&] {
        try {
            report = conversion::convertAll(jobs, observer);
        } catch (...) {
            thrown = std::current_exception();
        }
        // Posted after everything the observer posted, so the loop ends only once the window
        // has seen all of it.
        QMetaObject::invokeMethod(
            &waiting, [&waiting] { waiting.quit(); }, Qt::QueuedConnection);
    });
    // Should the application be told to quit meanwhile, the loop ends early and the join
    // waits for the run; it cannot hang, since the run never waits for this thread.
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (thrown) std::rethrow_exception(thrown);
    return report;
}

}  // namespace skelvane::ui
