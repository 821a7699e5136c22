// The step runner behind a thread timer.
#include "tests/window/TimerScript.h"

#include <cstddef>

namespace {

// A thread timer's tick carries no context of its own.
TimerScript* activeScript = nullptr;

}  // namespace

void TimerScript::StepAdd(Step step) {
    if (running_) {
        steps_.insert(steps_.begin() + (std::ptrdiff_t)insertAt_++, std::move(step));
    } else {
        steps_.push_back(std::move(step));
    }
}

void TimerScript::Do(std::function<void()> action) {
    StepAdd({nullptr, std::move(action), nullptr, 0});
}

void TimerScript::WaitFor(std::function<bool()> condition, bool* held, DWORD timeoutMs) {
    StepAdd({std::move(condition), nullptr, held, timeoutMs});
}

bool TimerScript::Start() {
    if (activeScript || timer_) return false;
    // USER_TIMER_MINIMUM: the platform raises anything shorter to it anyway.
    timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Tick);
    if (timer_) activeScript = this;
    return timer_ != 0;
}

void TimerScript::Finish() {
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (activeScript == this) activeScript = nullptr;
    for (; next_ < steps_.size(); ++next_) {
        Step& step = steps_[next_];
        if (step.condition) {
            bool holds = step.condition();
            if (step.held) *step.held = holds;
        }
    }
}

void CALLBACK TimerScript::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    TimerScript* script = activeScript;
    // A tick inside a step (one that runs a message loop of its own) waits for that step to end;
    // a tick queued before the timer stopped finds no script.
    if (!script || script->timer_ != timer || script->running_) return;
    script->Run();
}

void TimerScript::Run() {
    while (next_ < steps_.size()) {
        if (steps_[next_].condition) {
            if (!waiting_) {
                waiting_ = true;
                waitStart_ = GetTickCount();
            }
            // The step is copied: a condition may add steps, which moves the vector.
            Step step = steps_[next_];
            bool holds = step.condition();
            if (!holds && GetTickCount() - waitStart_ < step.timeoutMs) return;
            if (step.held) *step.held = holds;
            waiting_ = false;
            ++next_;
            continue;
        }
        std::function<void()> action = steps_[next_].action;
        ++next_;
        insertAt_ = next_;
        running_ = true;
        action();
        running_ = false;
    }
}
