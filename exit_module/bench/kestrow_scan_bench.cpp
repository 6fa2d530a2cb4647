// Speed of the identifier scan on a large log file, to compare with
// `wc -l` on the same file. The file is named by $KESTROW_BENCH_FILE;
// when that is unset, a 1 GiB log of typical rows is made in /tmp once.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "exit_module/id_scan.h"

namespace {

const char kDefaultFile[] = "/tmp/kestrow_bench_1GiB.txt";
const off_t kDefaultSize = off_t(1) << 30;

std::string bench_file() {
    const char *named = getenv("KESTROW_BENCH_FILE");
    if (named != nullptr && *named != '\0')
        return named;
    struct stat status;
    if (stat(kDefaultFile, &status) == 0 && status.st_size >= kDefaultSize)
        return kDefaultFile;
    FILE *file = fopen(kDefaultFile, "wb");
    if (file == nullptr)
        return kDefaultFile;
    fputs("# kestrow.dll generated file\n# benchmark data\n# fields are delimited with TABS\n# UniqueInternalID\n",
          file);
    const std::string tail =
        "\t1700000000\t0\t0\t0\t0\t0\t0\tMAJ\tFilesystem /var is 95% full on host build-07\tbuild-07\troot\tOS"
        "\tdf\tst1\twl\tpi\t\tdev\tud\ttag\t0\t7\t0\t0\tnode\tuser\tcr\tup\t0\t0\t0\t0\tconsole\tMIN\tN\tN\tN\tA\t=\tst"
        "\tdest\tstation\tshow on console\tcategory\tsource\trun\tpw\n";
    off_t written = 0;
    for (unsigned long id = 1; written < kDefaultSize; ++id) {
        written += fprintf(file, "%08lu", id);
        written += static_cast<off_t>(fwrite(tail.data(), 1, tail.size(), file));
    }
    fclose(file);
    return kDefaultFile;
}

void BM_IdentifierScan(benchmark::State &state) {
    std::string path = bench_file();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    struct stat status;
    fstat(fd, &status);
    uint32_t found = 0;
    for (auto _ : state) {
        found = kestrow::scan_identifiers(fd, 0);
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * status.st_size);
    state.counters["last_id"] = found;
    close(fd);
}

}  // namespace

BENCHMARK(BM_IdentifierScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
