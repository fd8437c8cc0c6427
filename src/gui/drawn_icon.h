#pragma once

#include <QIcon>
#include <QIconEngine>

class QPainter;
class QRectF;

namespace qe {

// The pictures of the toolbar buttons and of the program, drawn as shapes so that they are
// sharp at every size and on every screen.
enum class IconKind { Tie, Bracket, Print, Export, About, Undo, Redo, Application };

// An icon that draws its picture for whatever size and pixel ratio it is asked for.
class DrawnIcon : public QIconEngine {
public:
    explicit DrawnIcon(IconKind kind) : kind_(kind) {}

    static QIcon make(IconKind kind) { return QIcon(new DrawnIcon(kind)); }
    // Draws a picture scaled into `rect`, greyed when not enabled.
    static void paintPicture(QPainter& painter, IconKind kind, const QRectF& rect, bool enabled);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QIconEngine* clone() const override { return new DrawnIcon(kind_); }
    QString key() const override { return QStringLiteral("qe-drawn"); }

private:
    IconKind kind_;
};

}  // namespace qe
