#include "gui/title_settings_dialog.h"

#include "music/pitch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include "gui/dialog_buttons.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

constexpr int kDenominators[] = {1, 2, 4, 8, 16, 32, 64};

QComboBox* dropDownList(const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->addItems(items);
    list->setEditable(false);
    return list;
}

}  // namespace

TitleSettingsDialog::TitleSettingsDialog(QWidget* parent)
    : QDialog(parent), texts_{&title,   &subtitle, &author1, &author2,
                              &author3, &comment1, &comment2} {
    setWindowTitle(ui("标题"));
    static const char* const kLabels[] = {"正标题：", "副标题：", "作者一：", "作者二：",
                                          "作者三：", "注释一：", "注释二："};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 7; ++i) {
        edits_[i] = new QLineEdit(this);
        edits_[i]->setMinimumWidth(320);
        grid->addWidget(new QLabel(ui(kLabels[i]), this), i, 0);
        grid->addWidget(edits_[i], i, 1);
    }

    accidental_ =
        dropDownList({QStringLiteral(" "), QStringLiteral("#"), QStringLiteral("b")}, this);
    keyLetter_ = dropDownList(
        {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
         QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("G")},
        this);
    QStringList numerators;
    for (int n = 2; n <= 16; ++n)
        numerators << QString::number(n);
    numerator_ = dropDownList(numerators, this);
    QStringList denominators;
    for (int d : kDenominators)
        denominators << QString::number(d);
    denominator_ = dropDownList(denominators, this);

    auto* signature = new QHBoxLayout;
    signature->addWidget(new QLabel(QStringLiteral("1="), this));
    signature->addWidget(accidental_);
    signature->addWidget(keyLetter_);
    signature->addSpacing(24);
    signature->addWidget(numerator_);
    signature->addWidget(new QLabel(QStringLiteral("/"), this));
    signature->addWidget(denominator_);
    freeMeter_ = new QCheckBox(ui("散板（不用拍号）"), this);
    signature->addSpacing(12);
    signature->addWidget(freeMeter_);
    signature->addStretch();
    grid->addLayout(signature, 7, 1);
    connect(freeMeter_, &QCheckBox::toggled, this, [this](bool free) {
        numerator_->setEnabled(!free);
        denominator_->setEnabled(!free);
    });

    tonic_ = new QComboBox(this);
    tonic_->setToolTip(ui("不带八度点的“1”所发的音；改变它不改变谱面上的数字"));
    grid->addWidget(new QLabel(ui("“1”的音高："), this), 9, 0);
    auto* tonicRow = new QHBoxLayout;
    tonicRow->addWidget(tonic_);
    tonicRow->addStretch();
    grid->addLayout(tonicRow, 9, 1);
    for (QComboBox* list : {accidental_, keyLetter_})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { fillTonics(); });

    tempoBeat_ = dropDownList(
        {ui("♩ 四分音符"), ui("♩. 附点四分音符"), ui("♪ 八分音符"), ui("𝅗𝅥 二分音符")}, this);
    perMinute_ = new QSpinBox(this);
    perMinute_->setRange(0, 400);
    perMinute_->setSpecialValueText(ui("无"));
    tempoText_ = new QLineEdit(this);
    tempoText_->setPlaceholderText(ui("中速、稍快 等"));
    auto* tempo = new QHBoxLayout;
    tempo->addWidget(tempoBeat_);
    tempo->addWidget(new QLabel(QStringLiteral("="), this));
    tempo->addWidget(perMinute_);
    tempo->addSpacing(12);
    tempo->addWidget(tempoText_, 1);
    grid->addWidget(new QLabel(ui("速度："), this), 8, 0);
    grid->addLayout(tempo, 8, 1);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void TitleSettingsDialog::fillTonics() {
    const int keep = tonic_->count() == 3 ? tonic_->currentIndex() : 1 + tonicShift;
    const int letter = keyLetter_->currentIndex();
    const int accidental = accidental_->currentIndex();
    const std::optional<music::Key> key = music::Key::fromTitle(letter, accidental);
    QSignalBlocker quiet(tonic_);
    tonic_->clear();
    const QString sign = accidental == 1   ? QStringLiteral("♯")
                         : accidental == 2 ? QStringLiteral("♭")
                                           : QString();
    for (int shift = -1; shift <= 1; ++shift) {
        const int octave = key ? key->shifted(shift).tonic().octave : 4 + shift;
        QString name = QStringLiteral("%1%2%3")
                           .arg(sign, QChar(letter >= 0 && letter <= 6 ? u'A' + letter : u'?'))
                           .arg(octave);
        if (shift == 0)
            name += ui("（通常）");
        tonic_->addItem(name);
    }
    tonic_->setCurrentIndex(std::clamp(keep, 0, 2));
}

void TitleSettingsDialog::showEvent(QShowEvent* event) {
    if (!initialised_)
        onInitDialog();
    QDialog::showEvent(event);
}

void TitleSettingsDialog::onInitDialog() {
    initialised_ = true;
    for (int i = 0; i < 7; ++i)
        edits_[i]->setText(*texts_[i]);
    // An index outside a list leaves it without a selection.
    const auto select = [](QComboBox* list, int index) {
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    };
    select(accidental_, keyAccidental);
    select(keyLetter_, keyLetter);
    select(numerator_, numerator - 2);
    int shown = 2;  // "4" for a value the list does not hold
    for (int i = 0; i < 7; ++i)
        if (kDenominators[i] == denominator)
            shown = i;
    select(denominator_, shown);
    select(tempoBeat_, tempoBeat);
    perMinute_->setValue(perMinute);
    tempoText_->setText(tempoText);
    freeMeter_->setChecked(freeMeter);
    tonic_->clear();
    fillTonics();
    tonic_->setCurrentIndex(std::clamp(1 + tonicShift, 0, 2));
}

void TitleSettingsDialog::accept() {
    for (int i = 0; i < 7; ++i)
        *texts_[i] = edits_[i]->text();
    // A list without a selection gives -1, which the document refuses to store.
    keyAccidental = accidental_->currentIndex();
    keyLetter = keyLetter_->currentIndex();
    numerator = numerator_->currentIndex() + 2;
    if (const int d = denominator_->currentIndex(); d >= 0)
        denominator = kDenominators[d];
    tempoBeat = std::max(0, tempoBeat_->currentIndex());
    perMinute = perMinute_->value();
    tempoText = tempoText_->text();
    freeMeter = freeMeter_->isChecked();
    tonicShift = std::clamp(tonic_->currentIndex(), 0, 2) - 1;
    QDialog::accept();
}

}  // namespace qe
