#pragma once
// The picture control of the print previews. It knows the page extent in
// printer pixels, the page's proportions in whole millimetres and the page
// to show (negative: nothing yet). It fits a picture of those proportions
// into its client area, centred: with proportions W × H and a client area of
// cw × ch, when W ÷ H < cw ÷ ch the picture is trunc(W × ch ÷ H) wide and ch
// high, otherwise cw wide and trunc(H × cw ÷ W) high. To paint, it makes an
// image of the picture's size, maps the page extent onto it (window extent =
// page extent, viewport extent = picture size), fills the page extent with
// white and lets the page painter draw the page in printer pixels.
#include "device.h"

#include <QImage>
#include <QWidget>
#include <functional>

class PreviewCanvas : public QWidget {
    Q_OBJECT
public:
    // Draws page `page` on the device, in printer pixels.
    using PagePainter = std::function<void(PrintDevice &device, int page)>;

    explicit PreviewCanvas(QWidget *parent = nullptr);

    void SetPageExtent(const QSize &printerPixels);
    QSize PageExtent() const { return m_extent; }
    void SetProportions(const QSize &millimetres);
    QSize Proportions() const { return m_proportions; }
    void SetPainter(PagePainter painter);
    // Point-size fonts are made for this many logical units per inch (the
    // printer's LOGPIXELSY, so that the text keeps the printout's size); 0:
    // the picture's own resolution.
    void SetFontResolution(int unitsPerInch);
    void SetPage(int page);
    int Page() const { return m_page; }

    // The fitting rule above.
    static QSize FitPicture(const QSize &proportions, const QSize &client);
    // Where the picture lies in the client area (centred).
    QRect PictureRect() const;
    // The page drawn at the given picture size (white where nothing is drawn).
    QImage Render(const QSize &pictureSize) const;
    // The picture as the canvas shows it now; null without a page.
    QImage Picture();

    QSize sizeHint() const override { return {560, 300}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QSize m_extent;
    QSize m_proportions;
    PagePainter m_painter;
    int m_fontResolution = 0;
    int m_page = -1;
    QImage m_cache; // the picture of m_page at the current size
    bool m_cacheValid = false;
};
