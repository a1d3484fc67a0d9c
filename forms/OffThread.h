#pragma once

#include <QEventLoop>
#include <QThread>
#include <memory>
#include <optional>
#include <type_traits>

// Runs `work` on a thread of its own and returns what it gives, while the window's thread goes on
// painting: a large file is read without freezing the windows. The operator's input waits until
// the work is done, so that nothing is started twice meanwhile. `work` must touch no widget and
// make no QObject the window's thread keeps.
template <typename Work> std::invoke_result_t<Work> offThread(Work work)
{
    std::optional<std::invoke_result_t<Work>> result;
    const std::unique_ptr<QThread> thread(QThread::create([&] { result.emplace(work()); }));
    QEventLoop waiting;
    QObject::connect(thread.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    thread->start();
    if (!thread->isFinished())
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    return std::move(*result);
}
