#include "gui/view_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "edit/fragment.h"
#include "gui/paste_reasons.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"

namespace qe {

void copySelection(ScoreView& view) {
    if (!view.canCutOrCopy())
        return;
    Fragment fragment;
    if (!view.controller().copySelection(fragment)) {
        emit view.statusMessage(ui("只能复制同一声部中的内容。"));
        return;
    }
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kFragmentMime),
                  QByteArray::fromStdString(toFragmentText(fragment)));
    mime->setText(QString::fromStdString(toJianpuText(fragment)));
    QGuiApplication::clipboard()->setMimeData(mime);
    emit view.editStateChanged();
}

void cutSelection(ScoreView& view) {
    if (!view.canCutOrCopy())
        return;
    view.leaveLyricsMode();
    copySelection(view);
    view.hideCaret();
    Fragment cutOut;
    view.controller().cutSelection(cutOut);
    emit view.editStateChanged();
}

void pasteClipboard(ScoreView& view) {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    std::string why;
    std::optional<Fragment> fragment;
    if (mime->hasFormat(QString::fromLatin1(kFragmentMime)))
        fragment =
            fromFragmentText(mime->data(QString::fromLatin1(kFragmentMime)).toStdString(), &why);
    else if (mime->hasText())
        fragment = fromJianpuText(mime->text().toStdString(), &why);
    if (!fragment) {
        emit view.statusMessage(
            ui("剪贴板中的内容无法粘贴为简谱：%1").arg(pasteReason(why)));
        return;
    }
    if (!view.controller().caret.valid()) {
        emit view.statusMessage(ui("请先在乐谱中点击，确定粘贴的位置。"));
        return;
    }
    view.leaveLyricsMode();
    view.hideCaret();
    if (!view.controller().paste(*fragment))
        emit view.statusMessage(
            ui("剪贴板中的内容无法粘贴为简谱：%1").arg(ui("乐谱不能在此处接受它")));
    emit view.editStateChanged();
}

}  // namespace qe
