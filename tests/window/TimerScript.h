// Steps that act on this thread's windows from inside whatever message loop the thread runs (the
// requester's own modal loop): a thread timer takes them one at a time, and a step that waits
// hands the loop back until its condition holds or its time is up. Every message the steps cause
// goes through that loop, and the thread stays the process's only one: emulated by qemu 7.2 (the
// 32-bit build where the kernel runs no 32-bit code), the threads of a 32-bit process share one
// set of thread-storage slots, and a second thread breaks Wine's connection now and then.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

class TimerScript {
public:
    TimerScript() = default;
    ~TimerScript() { Finish(); }
    TimerScript(const TimerScript&) = delete;
    TimerScript& operator=(const TimerScript&) = delete;

    // Steps are run in the order given; those given while a step runs come right after it.
    void Do(std::function<void()> action);
    // Lets the loop run until condition() holds or timeoutMs has passed since the step began;
    // held receives whether it held.
    void WaitFor(std::function<bool()> condition, bool* held = nullptr, DWORD timeoutMs = 5000);

    // The timer starts: the steps run from the thread's next message loop on. One script at a time.
    bool Start();
    // The timer stops. Of the steps left, each wait is answered once more and no action runs: the
    // loop they were meant for is over.
    void Finish();
    // Every step has run.
    bool Done() const { return next_ >= steps_.size(); }

private:
    struct Step {
        std::function<bool()> condition;  // a wait
        std::function<void()> action;     // or an action
        bool* held;
        DWORD timeoutMs;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
    void StepAdd(Step step);
    void Run();

    std::vector<Step> steps_;
    size_t next_ = 0;
    size_t insertAt_ = 0;  // where a running step's own steps go
    bool running_ = false;
    bool waiting_ = false;  // the next step is a wait that has begun
    DWORD waitStart_ = 0;
    UINT_PTR timer_ = 0;
};
