#include "gui/measure_mark_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "document/score_document.h"
#include "gui/dialog_buttons.h"
#include "gui/document_dialogs.h"
#include "gui/ui_text.h"
#include "music/attributes.h"
#include "music/measure_numbers.h"

namespace qe {

namespace {

constexpr int kDenominators[] = {1, 2, 4, 8, 16, 32, 64};
// The beats a tempo mark counts, as the title dialog lists them.
struct Beat {
    int unit;
    bool dotted;
};
constexpr Beat kBeats[] = {{4, false}, {4, true}, {8, false}, {2, false}};

QComboBox* list(QDialog* dialog, const char* name, const QStringList& items) {
    auto* box = new QComboBox(dialog);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QCheckBox* check(QDialog* dialog, const char* name, const QString& text) {
    auto* box = new QCheckBox(text, dialog);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

template <typename T>
T* child(const QDialog& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

// The key of the measure on: whether it changes, "1=" with accidental and letter, and the
// octave of its "1".
void addKeyRow(QDialog* dialog, QGridLayout* grid, const MeasureMark& mark) {
    QCheckBox* key = check(dialog, "keyChange", ui("换调  1="));
    QComboBox* accidental = list(dialog, "keyAccidental", {QStringLiteral(" "), QStringLiteral("#"),
                                                           QStringLiteral("b")});
    QComboBox* letter = list(dialog, "keyLetter",
                             {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                              QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F"),
                              QStringLiteral("G")});
    QComboBox* tonic = list(dialog, "tonicShift", {ui("低八度"), ui("通常"), ui("高八度")});
    tonic->setToolTip(ui("不带八度点的“1”所发的音"));
    key->setChecked(mark.keyChange);
    accidental->setCurrentIndex(std::min<int>(mark.keyAccidental, 2));
    letter->setCurrentIndex(std::min<int>(mark.keyLetter, 6));
    tonic->setCurrentIndex(std::clamp(mark.tonicShift + 1, 0, 2));
    auto* keyRow = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(accidental), static_cast<QWidget*>(letter)})
        keyRow->addWidget(w);
    keyRow->addSpacing(12);
    keyRow->addWidget(new QLabel(ui("“1”的音高"), dialog));
    keyRow->addWidget(tonic);
    keyRow->addStretch();
    grid->addWidget(key, 0, 0);
    grid->addLayout(keyRow, 0, 1);

}

// The time signature of the measure on, or free meter.
void addMeterRow(QDialog* dialog, QGridLayout* grid, const MeasureMark& mark) {
    QCheckBox* meter = check(dialog, "meterChange", ui("换拍"));
    QStringList numerators;
    for (int n = 1; n <= 16; ++n)
        numerators << QString::number(n);
    QComboBox* numerator = list(dialog, "numerator", numerators);
    QStringList denominators;
    for (int d : kDenominators)
        denominators << QString::number(d);
    QComboBox* denominator = list(dialog, "denominator", denominators);
    QCheckBox* free = check(dialog, "freeMeter", ui("散板"));
    meter->setChecked(mark.meterChange);
    free->setChecked(mark.meterChange && mark.numerator == 0);
    numerator->setCurrentIndex(mark.numerator > 0 ? std::clamp<int>(mark.numerator, 1, 16) - 1
                                                  : 3);
    denominator->setCurrentIndex(2);
    for (int i = 0; i < 7; ++i)
        if (kDenominators[i] == mark.denominator)
            denominator->setCurrentIndex(i);
    auto* meterRow = new QHBoxLayout;
    meterRow->addWidget(numerator);
    meterRow->addWidget(new QLabel(QStringLiteral("/"), dialog));
    meterRow->addWidget(denominator);
    meterRow->addSpacing(12);
    meterRow->addWidget(free);
    meterRow->addStretch();
    grid->addWidget(meter, 1, 0);
    grid->addLayout(meterRow, 1, 1);
    QObject::connect(free, &QCheckBox::toggled, dialog, [numerator, denominator](bool on) {
        numerator->setEnabled(!on);
        denominator->setEnabled(!on);
    });
    numerator->setEnabled(!free->isChecked());
    denominator->setEnabled(!free->isChecked());

}

// The tempo of the measure on: its beat, beats a minute and words.
void addTempoRow(QDialog* dialog, QGridLayout* grid, const MeasureMark& mark) {
    QCheckBox* tempo = check(dialog, "tempoChange", ui("速度"));
    QComboBox* beat =
        list(dialog, "tempoBeat",
             {ui("♩ 四分音符"), ui("♩. 附点四分音符"), ui("♪ 八分音符"), ui("𝅗𝅥 二分音符")});
    auto* perMinute = new QSpinBox(dialog);
    perMinute->setObjectName(QStringLiteral("perMinute"));
    perMinute->setRange(0, 400);
    perMinute->setSpecialValueText(ui("无"));
    auto* words = new QLineEdit(dialog);
    words->setObjectName(QStringLiteral("tempoText"));
    words->setPlaceholderText(ui("渐慢、稍快 等"));
    tempo->setChecked(!mark.tempo.empty());
    for (int i = 0; i < 4; ++i)
        if (kBeats[i].unit == mark.tempo.beatUnit && kBeats[i].dotted == mark.tempo.dotted)
            beat->setCurrentIndex(i);
    perMinute->setValue(mark.tempo.perMinute);
    words->setText(QString::fromStdU16String(mark.tempo.text));
    // A number printed otherwise ("100–110") stays while the beat and number it was printed
    // with are left as they are.
    if (!mark.tempo.perMinuteText.empty()) {
        dialog->setProperty("printedNumber", QString::fromStdU16String(mark.tempo.perMinuteText));
        dialog->setProperty("printedWith", QList<QVariant>{mark.tempo.beatUnit, mark.tempo.dotted,
                                                           mark.tempo.perMinute});
    }
    auto* tempoRow = new QHBoxLayout;
    tempoRow->addWidget(beat);
    tempoRow->addWidget(new QLabel(QStringLiteral("="), dialog));
    tempoRow->addWidget(perMinute);
    tempoRow->addWidget(words, 1);
    grid->addWidget(tempo, 2, 0);
    grid->addLayout(tempoRow, 2, 1);
}

// The signs and words of the jumps above the measure.
QGroupBox* jumpsBox(QDialog* dialog, const MeasureMark& mark) {
    auto* jumps = new QGroupBox(ui("反复记号"), dialog);
    auto* jumpGrid = new QGridLayout(jumps);
    // The signs' own characters are in no font the editor can count on: named in words.
    QCheckBox* segno = check(dialog, "segno", ui("Segno 记号（D.S. 从此处反复）"));
    QCheckBox* coda = check(dialog, "coda", ui("Coda 尾声记号（从此处开始尾声）"));
    QCheckBox* fine = check(dialog, "fine", ui("Fine（反复后到此结束）"));
    QCheckBox* toCoda = check(dialog, "toCoda", ui("To Coda（反复后跳到尾声）"));
    QComboBox* back =
        list(dialog, "jumpBack", {ui("无"), ui("D.C. 从头反复"), ui("D.S. 从 Segno 记号处反复")});
    QComboBox* until = list(dialog, "jumpUntil",
                            {ui("到结尾"), QStringLiteral("al Fine"), QStringLiteral("al Coda")});
    segno->setChecked(mark.jumps & jump::kSegno);
    coda->setChecked(mark.jumps & jump::kCoda);
    fine->setChecked(mark.jumps & jump::kFine);
    toCoda->setChecked(mark.jumps & jump::kToCoda);
    back->setCurrentIndex((mark.jumps & jump::kDalSegno) ? 2 : (mark.jumps & jump::kDaCapo) ? 1 : 0);
    until->setCurrentIndex((mark.jumps & jump::kAlFine) ? 1 : (mark.jumps & jump::kAlCoda) ? 2 : 0);
    jumpGrid->addWidget(segno, 0, 0);
    jumpGrid->addWidget(coda, 0, 1);
    jumpGrid->addWidget(fine, 1, 0);
    jumpGrid->addWidget(toCoda, 1, 1);
    auto* backRow = new QHBoxLayout;
    backRow->addWidget(new QLabel(ui("小节末尾："), dialog));
    backRow->addWidget(back);
    backRow->addWidget(until);
    backRow->addStretch();
    jumpGrid->addLayout(backRow, 2, 0, 1, 2);
    return jumps;

}

}  // namespace

QDialog* makeMeasureMarkDialog(const MeasureMark& mark, int number, QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("measureMark"));
    dialog->setWindowTitle(ui("小节记号 — 第%1小节").arg(number));
    dialog->setProperty("measure", mark.measure);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(
        new QLabel(ui("从本小节起改变调号、拍号或速度；反复记号标在小节上方。"), dialog));
    auto* grid = new QGridLayout;
    addKeyRow(dialog, grid, mark);
    addMeterRow(dialog, grid, mark);
    addTempoRow(dialog, grid, mark);
    layout->addLayout(grid);
    layout->addWidget(jumpsBox(dialog, mark));
    layout->addWidget(okCancelButtons(dialog));
    return dialog;
}

MeasureMark measureMarkOf(const QDialog& dialog) {
    MeasureMark mark;
    mark.measure = dialog.property("measure").toUInt();
    const auto checked = [&](const char* name) {
        const QCheckBox* box = child<QCheckBox>(dialog, name);
        return box && box->isChecked();
    };
    const auto index = [&](const char* name) {
        const QComboBox* box = child<QComboBox>(dialog, name);
        return box ? box->currentIndex() : -1;
    };
    if (checked("keyChange") && index("keyLetter") >= 0) {
        mark.keyChange = true;
        mark.keyLetter = static_cast<std::uint8_t>(index("keyLetter"));
        mark.keyAccidental = static_cast<std::uint8_t>(std::clamp(index("keyAccidental"), 0, 2));
        mark.tonicShift = static_cast<std::int8_t>(std::clamp(index("tonicShift"), 0, 2) - 1);
    }
    if (checked("meterChange")) {
        mark.meterChange = true;
        if (checked("freeMeter")) {
            mark.numerator = mark.denominator = 0;
        } else {
            mark.numerator = static_cast<std::uint8_t>(std::clamp(index("numerator"), 0, 15) + 1);
            mark.denominator = static_cast<std::uint8_t>(kDenominators[std::clamp(index("denominator"), 0, 6)]);
        }
    }
    if (checked("tempoChange")) {
        const Beat beat = kBeats[std::clamp(index("tempoBeat"), 0, 3)];
        const QSpinBox* perMinute = child<QSpinBox>(dialog, "perMinute");
        const QLineEdit* words = child<QLineEdit>(dialog, "tempoText");
        mark.tempo.perMinute = static_cast<std::uint16_t>(perMinute ? perMinute->value() : 0);
        mark.tempo.text = words ? words->text().trimmed().toStdU16String() : std::u16string();
        if (const auto zero = mark.tempo.text.find(u'\0'); zero != std::u16string::npos)
            mark.tempo.text.resize(zero);
        if (mark.tempo.perMinute > 0) {
            mark.tempo.beatUnit = static_cast<std::uint16_t>(beat.unit);
            mark.tempo.dotted = beat.dotted;
        }
        if (dialog.property("printedWith").toList() ==
            QList<QVariant>{mark.tempo.beatUnit, mark.tempo.dotted, mark.tempo.perMinute})
            mark.tempo.perMinuteText = dialog.property("printedNumber").toString().toStdU16String();
    }
    mark.jumps |= checked("segno") ? jump::kSegno : 0;
    mark.jumps |= checked("coda") ? jump::kCoda : 0;
    mark.jumps |= checked("fine") ? jump::kFine : 0;
    mark.jumps |= checked("toCoda") ? jump::kToCoda : 0;
    const int back = index("jumpBack");
    if (back > 0) {
        mark.jumps |= back == 2 ? jump::kDalSegno : jump::kDaCapo;
        const int until = index("jumpUntil");
        mark.jumps |= until == 1 ? jump::kAlFine : until == 2 ? jump::kAlCoda : 0;
    }
    return mark;
}

void editMeasureMark(ScoreDocument& doc, int measure, QWidget* parent) {
    doc_header h = doc.score().header();
    MeasureMark mark;
    // What holds at the measure shows first, ready to be changed.
    const music::Attributes attributes(h);
    const music::MeasureAttributes& here = attributes.at(measure);
    doc_header key;
    here.key.toTitle(key);
    mark.keyLetter = key.keyLetter;
    mark.keyAccidental = key.keyAccidental;
    mark.tonicShift = static_cast<std::int8_t>(here.key.tonicShift());
    mark.numerator = static_cast<std::uint8_t>(std::clamp(here.meter.numerator, 0, 255));
    mark.denominator = static_cast<std::uint8_t>(std::clamp(here.meter.denominator, 0, 255));
    if (const MeasureMark* now = h.markAt(measure))
        mark = *now;
    mark.measure = static_cast<std::uint32_t>(std::max(0, measure));
    std::unique_ptr<QDialog> dialog(
        makeMeasureMarkDialog(mark, music::measureNumber(doc.score(), measure), parent));
    if (dialog->exec() != QDialog::Accepted)
        return;
    music::setMark(h, measureMarkOf(*dialog));
    doc.changeTitleBlock(h);
}

}  // namespace qe
