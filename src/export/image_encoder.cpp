#include "export/image_encoder.h"

#include <QImage>

#include "export/row_source.h"

namespace qe {

bool encodeImage(const QImage& image, ImageEncoder encoder, QIODevice& device, TaskPool* helpers) {
    return !image.isNull() && encoder(WholeImage(image), device, helpers);
}

}  // namespace qe
