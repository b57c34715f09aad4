#pragma once
// The pictures of the size dialogs, drawn in code: an example envelope with
// the ten lengths A–L, and an example sheet of labels with its six distances
// A–F and the labels numbered 1…N across and 1…M down.
#include <QRectF>
#include <QWidget>

class QPainter;

void PaintEnvelopeExample(QPainter &painter, const QRectF &area);
void PaintLabelSheetExample(QPainter &painter, const QRectF &area);

class EnvelopeExamplePicture : public QWidget {
    Q_OBJECT
public:
    explicit EnvelopeExamplePicture(QWidget *parent = nullptr);
    QSize sizeHint() const override { return QSize(360, 220); }

protected:
    void paintEvent(QPaintEvent *event) override;
};

class LabelSheetExamplePicture : public QWidget {
    Q_OBJECT
public:
    explicit LabelSheetExamplePicture(QWidget *parent = nullptr);
    QSize sizeHint() const override { return QSize(300, 340); }

protected:
    void paintEvent(QPaintEvent *event) override;
};
