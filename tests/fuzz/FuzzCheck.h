#pragma once
#include <cstdio>
#include <cstdlib>
#include <ctime>

// A broken property stops the fuzzer, saying which one; libFuzzer keeps the
// input that broke it.
#define fuzzCheck(condition) fuzzCheckAt((condition), __FILE__, __LINE__)

inline void fuzzCheckAt(bool condition, const char* file, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "property broken at %s:%d\n", file, line);
    std::abort();
}

// Times each input and prints the longest when the run ends, so that a run's
// figures show how near any input came to a hang (libFuzzer's own timeout
// counts only whole seconds). The thread's processor time is taken, not the
// wall clock, so that other programs on a busy machine do not count.
class InputClock {
public:
    InputClock() : start_(now()) {}
    ~InputClock() {
        const double ms = (now() - start_) * 1e3;
        if (ms > longest().ms)
            longest().ms = ms;
    }
    InputClock(const InputClock&) = delete;
    InputClock& operator=(const InputClock&) = delete;

private:
    struct Longest {
        double ms = 0;
        ~Longest() { std::fprintf(stderr, "longest input: %.3f ms of processor time\n", ms); }
    };
    static Longest& longest() {
        static Longest value;
        return value;
    }
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }
    double start_;
};
