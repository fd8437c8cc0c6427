#include "musicxml/xml_text.h"

namespace qe::musicxml {

QString xmlText(const QString& text, bool& changed) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out.at(i).unicode();
        bool bad =
            (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < out.size() && QChar::isLowSurrogate(out.at(i + 1).unicode())) {
                ++i;
                continue;
            }
            bad = true;
        } else if (QChar::isLowSurrogate(c)) {
            bad = true;
        }
        if (bad) {
            out[i] = QChar(0xFFFD);
            changed = true;
        }
    }
    return out;
}

}  // namespace qe::musicxml
