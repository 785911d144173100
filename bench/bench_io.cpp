// Parse throughput of the mesh list files of a 1M-cell hexahedral mesh, beside the floor: the
// time to read (and inflate) the same file through zlib without parsing.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <memory>

#include "bench/BenchCase.h"
#include "io/OFFile.h"

namespace {

constexpr int CELLS_PER_SIDE = 100;

std::string fileOf(const std::string& format, const std::string& name) {
    const std::string path = benchcase::hexPolyMesh(CELLS_PER_SIDE, format) + "/" + name;
    return format == "gzip" ? path + ".gz" : path;
}

void reportBytes(benchmark::State& state, const std::string& path, size_t items) {
    const auto bytes = std::filesystem::file_size(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_ZlibFloor(benchmark::State& state, const std::string& format, const std::string& name) {
    const std::string path = fileOf(format, name);
    std::unique_ptr<char[]> buffer(new char[1 << 20]);
    for (auto _ : state) {
        gzFile file = gzopen(path.c_str(), "rb");
        gzbuffer(file, 65536);
        size_t total = 0;
        int n = 0;
        while ((n = gzread(file, buffer.get(), 1 << 20)) > 0) total += static_cast<size_t>(n);
        gzclose(file);
        benchmark::DoNotOptimize(total);
    }
    reportBytes(state, path, 0);
}

void BM_Points(benchmark::State& state, const std::string& format) {
    const std::string folder = benchcase::hexPolyMesh(CELLS_PER_SIDE, format);
    std::vector<double> points;
    for (auto _ : state) {
        OFFile file(true);
        if (!file.readVectorField((folder + "/points").c_str(), "points", &points)) state.SkipWithError("read failed");
    }
    reportBytes(state, fileOf(format, "points"), points.size() / 3);
}

void BM_Faces(benchmark::State& state, const std::string& format) {
    const std::string folder = benchcase::hexPolyMesh(CELLS_PER_SIDE, format);
    FacesData faces;
    for (auto _ : state) {
        OFFile file(true);
        if (!file.readFaceList((folder + "/faces").c_str(), "faces", &faces)) state.SkipWithError("read failed");
    }
    reportBytes(state, fileOf(format, "faces"), faces.faceCount());
}

void BM_Owner(benchmark::State& state, const std::string& format) {
    const std::string folder = benchcase::hexPolyMesh(CELLS_PER_SIDE, format);
    std::vector<int> owners;
    int cells = 0;
    for (auto _ : state) {
        OFFile file(true);
        if (!file.readLabelList((folder + "/owner").c_str(), "owner", &owners, &cells)) state.SkipWithError("read failed");
    }
    reportBytes(state, fileOf(format, "owner"), owners.size());
}

}  // namespace

BENCHMARK_CAPTURE(BM_Points, ascii, std::string("ascii"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, points_ascii, std::string("ascii"), std::string("points"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Points, binary, std::string("binary"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, points_binary, std::string("binary"), std::string("points"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Points, gzip, std::string("gzip"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, points_gzip, std::string("gzip"), std::string("points"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Faces, ascii, std::string("ascii"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, faces_ascii, std::string("ascii"), std::string("faces"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Faces, binary, std::string("binary"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, faces_binary, std::string("binary"), std::string("faces"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Faces, gzip, std::string("gzip"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, faces_gzip, std::string("gzip"), std::string("faces"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Owner, ascii, std::string("ascii"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, owner_ascii, std::string("ascii"), std::string("owner"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Owner, binary, std::string("binary"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, owner_binary, std::string("binary"), std::string("owner"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Owner, gzip, std::string("gzip"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibFloor, owner_gzip, std::string("gzip"), std::string("owner"))->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
