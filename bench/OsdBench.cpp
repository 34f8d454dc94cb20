// GenerateOsdFont on the largest sheet the loader accepts, against writing the same bytes to the same number
// of files with plain fwrite calls. The ratio of the two is what matters: the font outputs are mostly text,
// and formatting them must not cost much more than getting the bytes to the file system.

#include "osd/OsdFont.h"
#include "picture/BmpLoader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A fresh directory for the run's outputs, removed at exit.
const std::string& WorkDirectory() {
    static const std::string dir = [] {
        std::string pattern = (fs::temp_directory_path() / "tavix-osd-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        fs::create_directory(pattern + "/generate");
        fs::create_directory(pattern + "/plain");
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(WorkDirectory(), ec);
        });
        return pattern;
    }();
    return dir;
}

// 1024 x 768 pixels at 8 bpp with a 256-colour palette, the pixels a fixed pseudo-random pattern.
const picture::CurrentBitmap& LargestSheet() {
    static const std::unique_ptr<picture::CurrentBitmap> sheet = [] {
        auto bm = std::make_unique<picture::CurrentBitmap>();
        bm->Width = 1024;
        bm->Height = 768;
        bm->BitsPerPixel = 8;
        bm->BytesPerRow = 1024;
        bm->PixelDataSize = 1024 * 768;
        bm->PaletteBytes = 1024;
        std::uint32_t seed = 12345;
        for (auto& p : bm->Pixels) {
            seed = seed * 1103515245u + 12345u;
            p = static_cast<std::uint8_t>(seed >> 16);
        }
        for (int i = 0; i < 256; ++i) {
            bm->RawPalette[4 * i] = static_cast<std::uint8_t>(i * 3);
            bm->RawPalette[4 * i + 1] = static_cast<std::uint8_t>(255 - i);
            bm->RawPalette[4 * i + 2] = static_cast<std::uint8_t>(i * 7 + 1);
        }
        picture::ConvertPalette(bm->RawPalette.data(), bm->ColourTable.data(), 256);
        bm->ColourCount = 256;
        return bm;
    }();
    return *sheet;
}

osd::OsdOptions Options(const std::string& dir) {
    osd::OsdOptions options;
    options.sourcePath = "sheet.bmp";
    options.fontSize = settings::FontSize::OfWidth(16);
    options.codeFormat = settings::CodeFormat::C;
    options.paletteFormat = settings::PaletteFormat::Rgb888;
    options.outputDirectory = dir;
    return options;
}

struct OutputImage {
    std::string name;
    std::vector<char> bytes;
};

// The files one run of GenerateOsdFont writes, read back: the reference writes exactly these.
const std::vector<OutputImage>& GeneratedFiles() {
    static const std::vector<OutputImage> files = [] {
        const std::string dir = WorkDirectory() + "/generate";
        const osd::GenerateResult result = osd::GenerateOsdFont(LargestSheet(), Options(dir));
        if (!result.ran || result.failure) throw std::runtime_error("GenerateOsdFont failed");
        std::vector<OutputImage> out;
        for (const auto& entry : fs::directory_iterator(dir)) {
            OutputImage image{entry.path().filename().string(), {}};
            image.bytes.resize(static_cast<size_t>(entry.file_size()));
            std::FILE* f = std::fopen(entry.path().c_str(), "rb");
            if (!f || std::fread(image.bytes.data(), 1, image.bytes.size(), f) != image.bytes.size())
                throw std::runtime_error("cannot read " + entry.path().string());
            std::fclose(f);
            out.push_back(std::move(image));
        }
        return out;
    }();
    return files;
}

std::int64_t TotalBytes() {
    std::int64_t total = 0;
    for (const OutputImage& f : GeneratedFiles())
        total += static_cast<std::int64_t>(f.bytes.size());
    return total;
}

void BM_GenerateOsdFont(benchmark::State& state) {
    const picture::CurrentBitmap& sheet = LargestSheet();
    const osd::OsdOptions options = Options(WorkDirectory() + "/generate");
    for (auto _ : state) {
        osd::GenerateResult result = osd::GenerateOsdFont(sheet, options);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes());
    state.counters["files"] = static_cast<double>(GeneratedFiles().size());
    state.counters["bytes"] = static_cast<double>(TotalBytes());
}

void BM_PlainWrite(benchmark::State& state) {
    const std::vector<OutputImage>& files = GeneratedFiles();
    std::vector<std::string> paths;
    for (const OutputImage& f : files)
        paths.push_back(WorkDirectory() + "/plain/" + f.name);
    for (auto _ : state) {
        for (size_t i = 0; i < files.size(); ++i) {
            std::FILE* out = std::fopen(paths[i].c_str(), "wb");
            if (!out) {
                state.SkipWithError("cannot create a reference file");
                return;
            }
            std::fwrite(files[i].bytes.data(), 1, files[i].bytes.size(), out);
            std::fclose(out);
        }
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes());
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["bytes"] = static_cast<double>(TotalBytes());
}

BENCHMARK(BM_GenerateOsdFont)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The console report, plus the ratios of the two timings measured in this run.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times_[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto generate = times_.find("BM_GenerateOsdFont");
        const auto plain = times_.find("BM_PlainWrite");
        if (generate == times_.end() || plain == times_.end() || plain->second.real <= 0 ||
            plain->second.cpu <= 0)
            return;
        GetOutputStream() << "GenerateOsdFont / plain write: real time "
                          << generate->second.real / plain->second.real << ", CPU time "
                          << generate->second.cpu / plain->second.cpu << "\n";
    }

private:
    struct Times {
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, Times> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("sheet 1024 x 768, 8 bpp, 16 x 16 cells (%d cells); %zu files, %lld bytes a run\n",
                (1024 / 16) * (768 / 16), GeneratedFiles().size(), static_cast<long long>(TotalBytes()));
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
