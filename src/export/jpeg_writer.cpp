#include "export/jpeg_writer.h"

#include <QIODevice>
#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <numeric>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "export/row_source.h"

namespace qe {

namespace {

constexpr std::size_t kOutputBuffer = std::size_t{64} << 10;

// The compressor with what its callbacks need: the device, the output buffer and the place to
// jump back to on an error.
struct Compressor {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_destination_mgr destination{};
    std::jmp_buf failed{};
    QIODevice* device = nullptr;
    bool writeFailed = false;
    std::vector<JOCTET> buffer = std::vector<JOCTET>(kOutputBuffer);
};

Compressor& compressorOf(j_compress_ptr info) {
    return *static_cast<Compressor*>(info->client_data);
}

void startOutput(j_compress_ptr info) {
    Compressor& c = compressorOf(info);
    c.destination.next_output_byte = c.buffer.data();
    c.destination.free_in_buffer = c.buffer.size();
}

// A device that takes no more bytes fails the file; the compressor runs on to its end.
void writeOutput(Compressor& c, std::size_t size) {
    const auto length = static_cast<qint64>(size);
    if (c.device->write(reinterpret_cast<const char*>(c.buffer.data()), length) != length)
        c.writeFailed = true;
}

boolean emptyOutput(j_compress_ptr info) {
    writeOutput(compressorOf(info), compressorOf(info).buffer.size());
    startOutput(info);
    return TRUE;
}

void finishOutput(j_compress_ptr info) {
    Compressor& c = compressorOf(info);
    writeOutput(c, c.buffer.size() - c.destination.free_in_buffer);
}

// libjpeg's own handler prints and exits; here an error ends the file and is reported.
void onError(j_common_ptr info) {
    std::longjmp(static_cast<Compressor*>(info->client_data)->failed, 1);
}

void onMessage(j_common_ptr, int) {}

// Runs libjpeg calls that may jump back here on an error; `call` keeps no local that needs a
// destructor.
template <typename Call>
bool guarded(Compressor& c, const Call& call) {
    if (setjmp(c.failed))
        return false;
    call();
    return true;
}

}  // namespace

bool writeJpeg(const RowSource& source, QIODevice& device, TaskPool* helpers) {
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "32-bit rows are read as little-endian");
    if (source.size().isEmpty())
        return false;
    std::vector<int> order(static_cast<std::size_t>(source.bands()));
    std::iota(order.begin(), order.end(), 0);
    Compressor c;
    c.device = &device;
    c.info.err = jpeg_std_error(&c.errors);
    c.errors.error_exit = onError;
    c.errors.emit_message = onMessage;
    c.info.client_data = &c;  // kept by jpeg_create_compress, which clears the rest
    c.destination.init_destination = startOutput;
    c.destination.empty_output_buffer = emptyOutput;
    c.destination.term_destination = finishOutput;
    bool written = guarded(c, [&] {
        jpeg_create_compress(&c.info);
        c.info.dest = &c.destination;
        c.info.image_width = static_cast<JDIMENSION>(source.size().width());
        c.info.image_height = static_cast<JDIMENSION>(source.size().height());
        // 32-bit rows are blue, green, red, unused in memory: taken as they are.
        c.info.input_components = 4;
        c.info.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&c.info);
        jpeg_set_quality(&c.info, kJpegQuality, TRUE);
        c.info.density_unit = 1;  // dots per inch
        c.info.X_density = 288;
        c.info.Y_density = 288;
        jpeg_start_compress(&c.info, TRUE);
    });
    written = written &&
              forEachBandInOrder(source, order, helpers,
                                 [&](int band, const QImage& rows) {
                                     return guarded(c, [&] {
                                         for (int y = 0; y < source.rowsOf(band); ++y) {
                                             auto* line =
                                                 const_cast<JSAMPLE*>(rows.constScanLine(y));
                                             jpeg_write_scanlines(&c.info, &line, 1);
                                         }
                                     });
                                 }) &&
              guarded(c, [&] { jpeg_finish_compress(&c.info); });
    jpeg_destroy_compress(&c.info);
    return written && !c.writeFailed;
}

}  // namespace qe
