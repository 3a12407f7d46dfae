#ifndef WATCHDOG_H
#define WATCHDOG_H

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

// Ends the test process when a guarded step has not finished within its
// limit. It runs on a thread of its own because the step under test may
// block the GUI thread for good, and then no timer of it would ever fire.
class Watchdog
{
public:
    Watchdog(std::string step, std::chrono::seconds limit)
        : thread([this, step = std::move(step), limit] {
              std::unique_lock<std::mutex> lock(mutex);
              if (!finished.wait_for(lock, limit, [this] { return done; })) {
                  std::fprintf(stderr, "FAIL: hung: %s\n", step.c_str());
                  std::_Exit(EXIT_FAILURE);
              }
          })
    {
    }

    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        finished.notify_one();
        thread.join();
    }

    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread thread;
};

#endif
