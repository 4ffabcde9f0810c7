#pragma once
// Shared by the fuzz targets, each of which is one file that includes this
// once and defines fuzzOne(); libFuzzer's entry below calls it.
#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

// A broken property stops the fuzzer, saying which one; libFuzzer keeps the
// input that broke it.
#define fuzzCheck(condition)                                                                                 \
    ((condition) ? void()                                                                                    \
                 : (std::fprintf(stderr, "property broken at %s:%d\n", __FILE__, __LINE__), std::abort()))

// The input up to its first NUL, and what follows that NUL (empty without one).
inline std::pair<QByteArray, QByteArray> splitAtNul(const QByteArray& input) {
    const qsizetype nul = input.indexOf('\0');
    return {nul < 0 ? input : input.left(nul), nul < 0 ? QByteArray() : input.mid(nul + 1)};
}

void fuzzOne(const QByteArray& input);

// The slowest input of a run is printed when the run ends, so that its figures
// show how near any input came to a hang (libFuzzer's own timeout counts only
// whole seconds); with KIVO_FUZZ_SLOWEST set to a file name, it is written
// there. Processor time is taken, not the wall clock, so that other programs
// on a busy machine do not count.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static struct Slowest {
        double ms = 0;
        QByteArray input;
        ~Slowest() {
            std::fprintf(stderr, "longest input: %.3f ms of processor time\n", ms);
            if (const char* path = std::getenv("KIVO_FUZZ_SLOWEST"))
                if (FILE* file = std::fopen(path, "wb")) {
                    std::fwrite(input.constData(), 1, size_t(input.size()), file);
                    std::fclose(file);
                }
        }
    } slowest;
    const std::clock_t start = std::clock();
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    fuzzOne(input);
    if (const double ms = double(std::clock() - start) * 1e3 / CLOCKS_PER_SEC; ms > slowest.ms)
        slowest.ms = ms, slowest.input = input;
    return 0;
}
