#pragma once

#include <QEventLoop>
#include <QThread>
#include <optional>
#include <type_traits>

// Runs `work` on a thread of its own and returns what it gives, while the window's thread goes on
// painting: a large file is read without freezing the windows. The operator's input waits until
// the work is done, so that nothing is started twice meanwhile. `work` must touch no widget and
// make no QObject the window's thread keeps.
template <typename Work> std::invoke_result_t<Work> offThread(Work work)
{
    using Result = std::invoke_result_t<Work>;
    class Worker : public QThread {
    public:
        explicit Worker(Work &work) : m_work(work) {}
        std::optional<Result> result;

    protected:
        void run() override { result.emplace(m_work()); }

    private:
        Work &m_work;
    };
    Worker worker(work);
    QEventLoop waiting;
    QObject::connect(&worker, &QThread::finished, &waiting, &QEventLoop::quit);
    worker.start();
    if (!worker.isFinished())
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker.wait();
    return std::move(*worker.result);
}
