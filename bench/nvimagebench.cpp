// Figure 5: the NV image preview of a 12-megapixel photograph fitted to 576 dots, beside
// Qt's own scale and one-bit conversion of the same image.
#include "bench/benchsizes.h"
#include "bench/floorreporter.h"
#include "nvimage/dialogdownloadnvimage.h"
#include "nvimage/nvimagecommands.h"
#include "protocol/hostcmd.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <random>

namespace {

constexpr int Dots = 576;

// Gradients with grain, the way a camera's picture looks to a scaler and a ditherer.
const QImage &photo()
{
    static const QImage image = [] {
        const int w = BenchSizes::photoWidth();
        const int h = BenchSizes::photoHeight();
        QImage out(w, h, QImage::Format_RGB32);
        std::mt19937 random(12);
        std::uniform_int_distribution<int> grain(-24, 24);
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const int n = grain(random);
                line[x] = qRgb(qBound(0, 255 * x / w + n, 255), qBound(0, 255 * y / h + n, 255),
                               qBound(0, 255 - 255 * (x + y) / (w + h) + n, 255));
            }
        }
        return out;
    }();
    return image;
}

// The dialog as a picture is opened in it: fit, scale, dither and the preview label.
void previewDialog(benchmark::State &state)
{
    const QImage &source = photo();
    g_hostCmd.setProject(QStringLiteral("RX210"));
    DialogDownloadNvImage dialog({});
    for (auto _ : state) {
        dialog.setSourceImage(source);
        benchmark::DoNotOptimize(dialog.oneBitImage().constBits());
    }
    if (dialog.oneBitImage().width() != Dots)
        state.SkipWithError("the preview is not 576 dots wide");
    g_hostCmd.setProject(QString());
}
BENCHMARK(previewDialog)->Name("nvimage_preview/dialog")->Unit(benchmark::kMillisecond);

// The pure functions the preview runs, and the raster the printer would get.
void previewPipeline(benchmark::State &state)
{
    const QImage &source = photo();
    for (auto _ : state) {
        const QSize size = NvImageCommands::fit(source.size(), Dots);
        const QImage oneBit = NvImageCommands::toOneBit(NvImageCommands::scaledTo(source, size),
                                                        NvImageCommands::Diffuse);
        benchmark::DoNotOptimize(NvImageCommands::rasterRows(oneBit).size());
    }
}
BENCHMARK(previewPipeline)->Name("nvimage_preview/pipeline")->Unit(benchmark::kMillisecond);

void qtFloor(benchmark::State &state)
{
    const QImage &source = photo();
    const QSize size(Dots, source.height() * Dots / source.width());
    for (auto _ : state) {
        const QImage oneBit = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::DiffuseDither);
        benchmark::DoNotOptimize(oneBit.constBits());
    }
}
BENCHMARK(qtFloor)->Name("qt_scale_convert_floor")->Unit(benchmark::kMillisecond);

const bool paired = FloorReporter::pair("nvimage_preview/dialog", "qt_scale_convert_floor")
                    && FloorReporter::pair("nvimage_preview/pipeline", "qt_scale_convert_floor");

} // namespace
