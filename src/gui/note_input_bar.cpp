#include "gui/note_input_bar.h"

#include <QAction>
#include <optional>

#include "edit/input_method.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

using Act = InputMethod::Act;
using Group = InputMethod::Group;

// What a button shows: short enough for a toolbar, in the symbols a musician knows.
QString label(const InputMethod::Key& key) {
    switch (key.act) {
        case Act::OctaveUp:
            return ui("高八度");
        case Act::OctaveDown:
            return ui("低八度");
        case Act::Length:
            return ui("%1分").arg(4 << key.value);
        case Act::Sharp:
            return QStringLiteral("♯");
        case Act::Flat:
            return QStringLiteral("♭");
        case Act::Natural:
            return QStringLiteral("♮");
        case Act::Mark:
            switch (key.ch) {
                case U'-':
                    return QStringLiteral("—");
                case U'.':
                    return ui("附点");
                case U'v':
                    return ui("换气");
                default:
                    return uiText(QString::fromUtf16(key.keyName));
            }
        case Act::BarLine:
            switch (key.ch) {
                case InputMethod::kEnter:
                    return QStringLiteral("|");
                case U'|':
                    return QStringLiteral("‖");
                case U'[':
                    return QStringLiteral("‖:");
                case U']':
                    return QStringLiteral(":‖");
                case U'\\':
                    return ui("虚线");
                default:
                    return ui("隐藏");
            }
        default:
            return uiText(QString::fromUtf16(key.keyName));
    }
}

bool onBar(const InputMethod::Key& key) {
    switch (key.group) {
        case Group::Octave:
        case Group::Length:
        case Group::Accidentals:
        case Group::BarLines:
            return true;
        case Group::Marks:
            return key.ch == U'-' || key.ch == U'.' || key.ch == U'v';
        default:
            return false;
    }
}

}  // namespace

NoteInputBar::NoteInputBar(QWidget* parent) : QToolBar(ui("音符输入"), parent) {
    setObjectName(QStringLiteral("noteInputBar"));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    std::optional<Group> last;
    for (const InputMethod::Key& key : InputMethod::keys()) {
        if (!onBar(key))
            continue;
        if (last && *last != key.group)
            addSeparator();
        last = key.group;
        QAction* action = addAction(label(key));
        const QString keyName = uiText(QString::fromUtf16(key.keyName));
        action->setToolTip(
            ui("%1（按键 %2）").arg(uiText(QString::fromUtf16(key.meaning)), keyName));
        action->setStatusTip(action->toolTip());
        const bool state = key.group == Group::Octave || key.group == Group::Length ||
                           key.group == Group::Accidentals;
        action->setCheckable(state);
        const char32_t ch = key.ch;
        connect(action, &QAction::triggered, this, [this, ch] { emit keyTyped(ch); });
        buttons_.push_back({ch, action});
    }
}

QAction* NoteInputBar::actionFor(char32_t key) const {
    for (const Button& b : buttons_)
        if (b.key == key)
            return b.action;
    return nullptr;
}

void NoteInputBar::showState(const InputMethod& input) {
    for (const Button& b : buttons_) {
        const InputMethod::Key* key = InputMethod::keyOf(b.key);
        bool on = false;
        switch (key->act) {
            case Act::OctaveUp:
                on = input.octave > 0;
                break;
            case Act::OctaveDown:
                on = input.octave < 0;
                break;
            case Act::Length:
                on = input.duration == key->value;
                break;
            case Act::Sharp:
                on = input.accidental == 1 || input.accidental == 2;
                break;
            case Act::Flat:
                on = input.accidental == 3 || input.accidental == 4;
                break;
            case Act::Natural:
                on = input.accidental == 5;
                break;
            default:
                break;
        }
        if (b.action->isCheckable())
            b.action->setChecked(on);
    }
}

}  // namespace qe
