#pragma once

#include <QToolBar>
#include <vector>

namespace qe {

class InputMethod;

// The note-input toolbar: a button for each key of the input method that sets what the next
// note takes (octave, length, accidental) or enters a mark or a bar line, made from the input
// method's table, with tooltips naming their keys. Its checked buttons show the input state
// the status panes show; a click does what the key does.
class NoteInputBar : public QToolBar {
    Q_OBJECT

public:
    explicit NoteInputBar(QWidget* parent = nullptr);

    // Checks the buttons of the state the next note takes.
    void showState(const InputMethod& input);
    // The button of a key, or null.
    QAction* actionFor(char32_t key) const;

signals:
    // A button was clicked: the key it stands for.
    void keyTyped(char32_t key);

private:
    struct Button {
        char32_t key;
        QAction* action;
    };
    std::vector<Button> buttons_;
};

}  // namespace qe
