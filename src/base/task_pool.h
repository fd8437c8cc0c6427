#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace qe {

// A few worker threads that run tasks in the order they are given. Whoever needs work done
// beside it owns a pool for as long as the work lasts: there is no shared pool. A task's
// result, or what it threw, comes back through its future, whose get() also makes everything
// the task wrote visible to the caller.
class TaskPool {
public:
    explicit TaskPool(int threads);
    // Runs the tasks still queued, then ends the threads.
    ~TaskPool();
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    int threadCount() const { return static_cast<int>(threads_.size()); }

    template <typename Task>
    std::future<std::invoke_result_t<Task>> run(Task task) {
        using Result = std::invoke_result_t<Task>;
        auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
        std::future<Result> result = packaged->get_future();
        {
            const std::lock_guard lock(mutex_);
            queue_.emplace_back([packaged] { (*packaged)(); });
        }
        wake_.notify_one();
        return result;
    }

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;  // last: they start once everything above is ready
};

}  // namespace qe
