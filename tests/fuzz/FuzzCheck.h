#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

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
// wall clock, so that other programs on a busy machine do not count. With
// KIVO_FUZZ_SLOWEST set to a file name, the slowest input is written there.
class InputClock {
public:
    InputClock(const uint8_t* data, size_t size) : data_(data), size_(size), start_(now()) {}
    ~InputClock() {
        const double ms = (now() - start_) * 1e3;
        Longest& longest = slowest();
        if (ms > longest.ms) {
            longest.ms = ms;
            longest.input.assign(reinterpret_cast<const char*>(data_), size_);
        }
    }
    InputClock(const InputClock&) = delete;
    InputClock& operator=(const InputClock&) = delete;

private:
    struct Longest {
        double ms = 0;
        std::string input;
        ~Longest() {
            std::fprintf(stderr, "longest input: %.3f ms of processor time\n", ms);
            if (const char* path = std::getenv("KIVO_FUZZ_SLOWEST"))
                if (FILE* file = std::fopen(path, "wb")) {
                    std::fwrite(input.data(), 1, input.size(), file);
                    std::fclose(file);
                }
        }
    };
    static Longest& slowest() {
        static Longest value;
        return value;
    }
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }
    const uint8_t* data_;
    size_t size_;
    double start_;
};
