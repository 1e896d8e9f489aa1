// The text algorithms in memory, without file input and output.
#include <benchmark/benchmark.h>

#include "textcmd/text_algorithms.h"

namespace {

using namespace torvic::textcmd;

// `lines` lines of `width` characters plus CR LF; every `every`-th holds `hit`.
std::string makeText(std::size_t lines, std::size_t width, std::size_t every, const std::string& hit) {
    std::string plain(width, 'c');
    std::string withHit = std::string(40, 'c') + hit + std::string(width - 40 - hit.size(), 'c');
    std::string t;
    t.reserve(lines * (width + 2));
    for (std::size_t i = 0; i < lines; ++i) {
        t += i % every == 0 ? withHit : plain;
        t += "\r\n";
    }
    return t;
}

// Times `change` on a fresh copy of `src` in every iteration.
template <class Change>
void timeOnCopy(benchmark::State& state, const std::string& src, Change change) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string t = src;
        state.ResumeTiming();
        change(t);
        benchmark::DoNotOptimize(t.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
}

void BM_ReplFast100MB(benchmark::State& state) {
    timeOnCopy(state, makeText(1'000'000, 98, 1, "x"), [](std::string& t) { replaceFast(t, 1, "x", "y", -1); });
}
BENCHMARK(BM_ReplFast100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Del100MB(benchmark::State& state) {
    // 30,304 hits: a counter of 0 allows at most 32,767 changes.
    timeOnCopy(state, makeText(1'000'000, 98, 33, "x"), [](std::string& t) { deleteText(t, 1, "x", -1, false); });
}
BENCHMARK(BM_Del100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReplIgnoreCase30MB(benchmark::State& state) {
    timeOnCopy(state, makeText(300'000, 98, 10, "KEY"),
               [](std::string& t) { replaceGeneral(t, 1, "key", "LOCK", -1, true, false); });
}
BENCHMARK(BM_ReplIgnoreCase30MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReplWholeLine30MB(benchmark::State& state) {
    timeOnCopy(state, makeText(300'000, 98, 10, "KEY"),
               [](std::string& t) { replaceGeneral(t, 1, "KEY", "", -1, false, true); });
}
BENCHMARK(BM_ReplWholeLine30MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Deline30MB(benchmark::State& state) {
    const std::string src = makeText(300'000, 98, 10, "KEY");
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    for (auto _ : state) {
        cutIntoPieces(src, pieces);
        DelineResult r = deleteLinesHolding(src, pieces, "KEY", -1, false);
        benchmark::DoNotOptimize(r.text.data());
    }
}
BENCHMARK(BM_Deline30MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
