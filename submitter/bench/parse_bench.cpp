// Throughput of the worker's input path: text-mode translation and parsing.
#include <benchmark/benchmark.h>

#include <string>

#include "submitter/message_assembler.h"
#include "submitter/shared_input.h"

namespace {

class NullSink : public DiagnosticSink {
public:
    void diagnostic(const std::string &) override {}
};

// Messages of a few typical field lines with CR LF line ends.
std::string sample_input(size_t bytes) {
    const std::string message = "computer\tlocalhost\r\nevtm_text\tDisk C: is 93% full on host db-07, please check\r\n"
                                "evtm_severity\tWAR\r\nevtm_msgnum\t4711\r\nevtm_source\tmonitor\r\n\r\n";
    std::string input;
    while (input.size() < bytes)
        input += message;
    return input;
}

void BM_TranslateAndParse(benchmark::State &state) {
    const std::string input = sample_input(1 << 20);
    std::string text(input.size() + 1, '\0');
    size_t messages = 0;
    for (auto _ : state) {
        TextModeFilter filter(false);
        bool ended = false;
        size_t size = filter.translate(input.data(), input.size(), &text[0], &ended);
        NullSink sink;
        MessageAssembler assembler(sink);
        for (size_t at = 0; at < size;) {
            bool message_ended = false;
            at += assembler.feed(text.data() + at, size - at, &message_ended);
            if (message_ended) {
                benchmark::DoNotOptimize(assembler.record());
                assembler.finish_message(0);
                ++messages;
            }
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
    state.counters["messages"] = benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TranslateAndParse);

}  // namespace

BENCHMARK_MAIN();
