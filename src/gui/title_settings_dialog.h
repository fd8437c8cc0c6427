#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QSpinBox;
class QCheckBox;
class QLineEdit;

namespace qe {

// The title dialog: the seven texts of the title block, the key ("1=" and a letter with its
// accidental) and the time signature. The members carry the values in and out; the lists
// hold indices as the document stores them (numerator from 2, denominator as a power of 2).
class TitleSettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit TitleSettingsDialog(QWidget* parent = nullptr);

    // Moves the texts into the fields and selects the list items; runs once, when the dialog
    // first shows.
    void onInitDialog();
    // OK: reads the fields and lists back into the members and closes the dialog.
    void accept() override;

    QLineEdit* titleEdit() const { return edits_[0]; }
    QComboBox* accidentalList() const { return accidental_; }
    QComboBox* keyLetterList() const { return keyLetter_; }
    QComboBox* numeratorList() const { return numerator_; }
    QComboBox* denominatorList() const { return denominator_; }

    QString title;
    QString subtitle;
    QString author1;
    QString author2;
    QString author3;
    QString comment1;
    QString comment2;
    int keyAccidental = 0;
    int keyLetter = 6;
    int numerator = 4;
    int denominator = 4;
    // Free meter: no time signature (the fraction above is kept for older versions).
    bool freeMeter = false;
    // The octave of the undotted "1" from the usual one: -1, 0 or +1.
    int tonicShift = 0;
    // The metronome mark: the beat (an index of kTempoBeats), beats a minute (0: none) and the
    // tempo text.
    int tempoBeat = 0;
    int perMinute = 0;
    QString tempoText;
    // The beats the mark can count: a quarter, a dotted quarter, an eighth, a half.
    struct TempoBeat {
        int unit;
        bool dotted;
    };
    static constexpr TempoBeat kTempoBeats[] = {{4, false}, {4, true}, {8, false}, {2, false}};

    QComboBox* tonicList() const { return tonic_; }
    QCheckBox* freeMeterBox() const { return freeMeter_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The octaves "1" can sound in for the key chosen, named by their pitch ("G3", "G4").
    void fillTonics();

    QString* texts_[7];
    QLineEdit* edits_[7];
    QComboBox* accidental_;
    QComboBox* keyLetter_;
    QComboBox* numerator_;
    QComboBox* denominator_;
    QComboBox* tempoBeat_;
    QComboBox* tonic_;
    QCheckBox* freeMeter_;
    QSpinBox* perMinute_;
    QLineEdit* tempoText_;
    bool initialised_ = false;
};

}  // namespace qe
