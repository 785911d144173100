// polyMesh reading and conversion to host elements on generated 1M-cell meshes of hexahedra
// and of tetrahedra, ascii and binary: cells per second for each stage, and the peak resident
// memory of the process against the size of the mesh files.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>

#include "bench/BenchCase.h"
#include "mesh/OFPolymeshReader.h"
#include "mesh/OFPolymeshToVXP.h"

namespace {

struct NullNodes : VXPNodeGroup {
    void setNodes(const double* xyz, size_t count) override { benchmark::DoNotOptimize(xyz + count); }
    void setNodeIds(const int* ids, size_t count) override { benchmark::DoNotOptimize(ids + count); }
    int index() const override { return 0; }
};
struct NullElements : VXPElementGroup {
    void setElementsOfType(VXPElementType, size_t, const int* nodes, size_t, const int*) override { benchmark::DoNotOptimize(nodes); }
    void setElements(const VXPElementType*, size_t, const int* nodes, size_t, const int*) override { benchmark::DoNotOptimize(nodes); }
    void setPolyhedra(const uint8_t*, const uint8_t*, size_t, const uint8_t*, size_t, const int* n, size_t) override { benchmark::DoNotOptimize(n); }
    void setElementPartIds(const int* ids, size_t) override { benchmark::DoNotOptimize(ids); }
};

std::string meshFolder(const std::string& shape, const std::string& format) {
    static std::string base = testsupport::makeTempFolder("bench-mesh");
    const std::string folder = base + "/" + shape + "-" + format;
    if (!std::filesystem::exists(folder + "/owner")) {
        testsupport::WriteOptions options;
        options.binary = format == "binary";
        const testsupport::Mesh mesh = shape == "tet" ? testsupport::tetBlockMesh(55, 55, 55)
                                                      : testsupport::hexBlockMesh(100, 100, 100);
        testsupport::writePolyMesh(folder, mesh, options);
    }
    return folder;
}

double folderMegabytes(const std::string& folder) {
    double bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) bytes += static_cast<double>(entry.file_size());
    return bytes / 1e6;
}

double peakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Read(benchmark::State& state, const std::string& shape, const std::string& format) {
    const std::string folder = meshFolder(shape, format);
    int cells = 0;
    for (auto _ : state) {
        OFPolymesh mesh;
        OFPolymeshReader reader;
        if (!reader.read(folder.c_str(), &mesh)) state.SkipWithError("read failed");
        cells = mesh.cellCount();
    }
    state.SetItemsProcessed(state.iterations() * cells);
    state.counters["files_MB"] = folderMegabytes(folder);
    state.counters["peak_RSS_MB"] = peakRssMegabytes();
}

void BM_Convert(benchmark::State& state, const std::string& shape, const std::string& format) {
    const std::string folder = meshFolder(shape, format);
    int cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        OFPolymesh mesh;
        OFPolymeshReader reader;
        reader.read(folder.c_str(), &mesh);
        cells = mesh.cellCount();
        state.ResumeTiming();
        OFPolymeshToVXP converter(&mesh);
        NullNodes nodes;
        NullElements elements;
        size_t count = 0;
        if (!converter.createMesh() || !converter.populateElementGroup(&elements, &count) ||
            !converter.populateNodeGroup(&nodes, &count))
            state.SkipWithError("conversion failed");
    }
    state.SetItemsProcessed(state.iterations() * cells);
    state.counters["peak_RSS_MB"] = peakRssMegabytes();
}

}  // namespace

BENCHMARK_CAPTURE(BM_Read, hex_ascii, std::string("hex"), std::string("ascii"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Read, hex_binary, std::string("hex"), std::string("binary"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Read, tet_ascii, std::string("tet"), std::string("ascii"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Read, tet_binary, std::string("tet"), std::string("binary"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Convert, hex, std::string("hex"), std::string("binary"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Convert, tet, std::string("tet"), std::string("binary"))->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
