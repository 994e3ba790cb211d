#include "ui/background_run.h"

#include <exception>
#include <thread>

#include <QEventLoop>

namespace skelvane::ui {

void runInBackground(const std::function<void()>& work) {
    QEventLoop waiting;
    std::exception_ptr thrown;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            thrown = std::current_exception();
        }
        // Posted after everything the work posted, so the loop ends only once the window
        // has seen all of it.
        QMetaObject::invokeMethod(
            &waiting, [&waiting] { waiting.quit(); }, Qt::QueuedConnection);
    });
    // Should the application be told to quit meanwhile, the loop ends early and the join
    // waits for the work; it cannot hang, since the work never waits for this thread.
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace skelvane::ui
