// Time of one full-table conversion each way (16 channels).
#include "ClassKQxx53.h"

#include <benchmark/benchmark.h>

namespace {

kq::ClassKQxx53 fullTable() {
    kq::ClassKQxx53 d;
    for (int16_t c = 0; c < 16; ++c) {
        d.TheRxFreq(c, 146.0125 + 0.0125 * c);
        d.TheTxFreq(c, 146.015 + 0.005 * c);
        d.TheRxCHSpace(c, c % 2 ? -1 : 0);
        d.TheRFPower(c, c % 3 ? -1 : 0);
    }
    return d;
}

void BM_Para_to_EEWord(benchmark::State& state) {
    kq::ClassKQxx53 d = fullTable();
    for (auto _ : state) {
        d.Para_to_EEWord();
        benchmark::DoNotOptimize(d.EEWord(63));
    }
}
BENCHMARK(BM_Para_to_EEWord);

void BM_EEWord_to_Para(benchmark::State& state) {
    kq::ClassKQxx53 d = fullTable();
    d.Para_to_EEWord();
    for (auto _ : state) {
        d.EEWord_to_Para();
        benchmark::DoNotOptimize(d.TheRxFreq(15));
    }
}
BENCHMARK(BM_EEWord_to_Para);

void BM_RoundTrip(benchmark::State& state) {
    kq::ClassKQxx53 d = fullTable();
    for (auto _ : state) {
        d.Para_to_EEWord();
        d.EEWord_to_Para();
        benchmark::DoNotOptimize(d.TheTxFreq(15));
    }
}
BENCHMARK(BM_RoundTrip);

} // namespace

BENCHMARK_MAIN();
