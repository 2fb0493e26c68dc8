#include "paint/DrawingThread.h"

#include <QCoreApplication>
#include <QPointer>

namespace velloran {

QThreadPool &drawingThread()
{
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        pool->setMaxThreadCount(1);
        // A drawing may set text, so it must be done before the application takes its fonts
        // down, which is before it deletes its children.
        qAddPostRoutine([] {
            if (pool)
                pool->waitForDone();
        });
    }
    return *pool;
}

} // namespace velloran
