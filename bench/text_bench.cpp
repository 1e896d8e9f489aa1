// The text algorithms in memory, without file input and output.
#include <benchmark/benchmark.h>

#include <random>

#include "base/text.h"
#include "textcmd/ref.h"
#include "textcmd/text_algorithms.h"

namespace {

using namespace torvic;

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

// A catalogue of 200,000 entries and a selection of 10,000 items, half single
// keys and half ranges.
struct RefWork {
    std::string catalogue = "Cataleg\r\n";
    std::string selection;
    std::vector<std::string> keys;  // every key the selection looks up
    RefWork() {
        for (int i = 0; i < 200'000; ++i) catalogue += "ART" + std::to_string(i) + " article description\r\n";
        std::mt19937 rng(5);
        std::uniform_int_distribution<int> pick(0, 199'990);
        for (int i = 0; i < 10'000; ++i) {
            int a = pick(rng);
            std::string item = std::to_string(a);
            keys.push_back("ART" + item);
            if (i % 2) {
                item += "_" + std::to_string(a + 5);
                keys.push_back("ART" + std::to_string(a + 5));
            }
            selection += (i ? "," : "") + item;
        }
    }
};

void BM_Ref10kItems200kCatalogue(benchmark::State& state) {
    static const RefWork work;
    for (auto _ : state) {
        std::vector<RefError> errors;
        std::string out = extractReferences(work.catalogue, "ART", work.selection, errors);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Ref10kItems200kCatalogue)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same lookups as plain searches for CR LF + key from the start of the text.
void BM_RefLookupsByPlainScan(benchmark::State& state) {
    static const RefWork work;
    for (auto _ : state) {
        std::size_t sum = 0;
        for (const std::string& key : work.keys) sum += torvic::findFrom(work.catalogue, "\r\n" + key, 1);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RefLookupsByPlainScan)->Unit(benchmark::kMillisecond)->Iterations(1);

// The whole 200,000-line catalogue taken as one range, then n of its lines
// excluded (every exclusion found).
void BM_RefExclusions200kCatalogue(benchmark::State& state) {
    static const RefWork work;
    std::string selection = "0_199999<";
    for (std::int64_t i = 0; i < state.range(0); ++i)
        selection += std::to_string((i * 7919) % 199'999 + 1) + ",";
    selection += ">";
    for (auto _ : state) {
        std::vector<RefError> errors;
        std::string out = extractReferences(work.catalogue, "ART", selection, errors);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_RefExclusions200kCatalogue)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
