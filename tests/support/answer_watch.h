// How long the main window goes without answering: a thread of its own
// asks it with WM_NULL, again and again, and keeps the longest wait since
// it started or was last reset.
#pragma once
#include <windows.h>

#include <atomic>
#include <thread>

class AnswerWatch {
public:
    AnswerWatch();
    ~AnswerWatch();
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

    void Reset() { longest_ = 0; }
    // In milliseconds.
    double Longest() const { return longest_; }

private:
    void Run();

    std::atomic<bool> stop_{false};
    std::atomic<double> longest_{0};
    std::thread thread_;
};
