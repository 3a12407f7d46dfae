#ifndef THREADSYNC_H
#define THREADSYNC_H

#include <chrono>
#include <condition_variable>
#include <mutex>

// The lock and condition that the reader and the digest wait on in turn, at
// every chunk. MinGW-w64 builds std::mutex and std::condition_variable on
// winpthreads, whose notify waits until the woken thread has run: that cost
// the file digest a tenth of its speed under Wine. So Windows gets its own
// slim lock and condition variable (threadsync_windows.cpp), with the
// standard ones' interface; elsewhere they are the standard ones.
#ifdef _WIN32

class Lock
{
public:
    Lock() = default;
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;

    void lock();
    void unlock();

private:
    friend class Condition;
    void *slim = nullptr;
};

class Condition
{
public:
    Condition() = default;
    Condition(const Condition &) = delete;
    Condition &operator=(const Condition &) = delete;

    void notify_one();

    template <class Predicate>
    void wait(std::unique_lock<Lock> &lock, Predicate ready)
    {
        while (!ready())
            sleep(*lock.mutex(), -1);
    }

    template <class Predicate>
    bool wait_for(std::unique_lock<Lock> &lock, std::chrono::milliseconds patience, Predicate ready)
    {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!ready()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            sleep(*lock.mutex(), left.count());
        }
        return true;
    }

private:
    // Waits until woken, for at most ms milliseconds unless ms is negative.
    void sleep(Lock &lock, long long ms);

    void *variable = nullptr;
};

#else

using Lock = std::mutex;
using Condition = std::condition_variable;

#endif

#endif
