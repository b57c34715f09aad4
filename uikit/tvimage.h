#pragma once
// The image object of the library: the envelope logo, the image-open dialog's
// preview and everything that decodes, converts, encodes, scales or draws a
// picture goes through CTVImage. It holds one QImage and offers exactly the
// operations the program needs. The caller owns every CTVImage it creates;
// no operation shows a message: a false result is for the caller to report.
#include "tvexport.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

class QPainter;

// Image file formats. The numbers are the program's format codes (JPEG is 3).
enum class TVImageFormat {
    Unknown = 0, // Load and Decode: detect the format from the data
    Bmp = 1,
    Gif = 2,
    Jpeg = 3,
    Png = 4,
    Ico = 5,
    Tiff = 6,
    Tga = 7,
    Pcx = 8,
};

// Resampling methods of CTVImage::Resample.
enum class TVResampleMode {
    Smooth = 0,  // filtered (bilinear); for screen thumbnails
    Nearest = 1, // nearest pixel, no new colours; what the printed logo uses
};

class TEVROKIT_EXPORT CTVImage {
public:
    // An empty image: no pixels, width and height 0.
    CTVImage() = default;
    explicit CTVImage(const QImage &image) : m_image(image) {}
    ~CTVImage() = default;
    // Copies give an independent image: writing to one never changes the other.
    CTVImage(const CTVImage &) = default;
    CTVImage &operator=(const CTVImage &) = default;
    CTVImage(CTVImage &&) noexcept = default;
    CTVImage &operator=(CTVImage &&) noexcept = default;

    // Frees the pixels; the image is empty afterwards.
    void Destroy();
    // A deep copy of `source` made now (not shared until written). False when
    // the pixels could not be allocated; this image is then empty.
    bool Copy(const CTVImage &source);

    // Reads an image file; the format is detected from the contents (and the
    // suffix where the format has no signature, as with TGA, which the
    // library reads itself). True for a BMP, GIF, ICO, JPEG, PNG, TGA or TIFF
    // file that could be read, and for a PCX file where a PCX decoder is
    // installed. On failure the image is empty.
    bool Load(const QString &path);

    // Decodes a whole file held in memory. With TVImageFormat::Jpeg only a
    // complete JPEG (FF D8 ... FF D9) is accepted; damaged or truncated data
    // gives false and an empty image. Unknown detects the format.
    bool Decode(const QByteArray &bytes, TVImageFormat format = TVImageFormat::Jpeg);
    bool Decode(const uchar *bytes, qsizetype length, TVImageFormat format = TVImageFormat::Jpeg);

    // Converts the pixels to the given depth. 24: 8-bit red, green and blue
    // (QImage::Format_RGB888); transparent parts are laid on white, the colour
    // of paper, as no alpha survives at this depth. 32: ARGB with alpha kept.
    // False for other depths and for an empty image.
    bool IncreaseBpp(int bpp);
    // Bits per pixel of the colour data: 1, 8 or 16 for the small formats, 24
    // for RGB without alpha (whatever its storage), 32 with alpha; 0 when empty.
    int GetBpp() const;

    // JPEG quality for Encode, 0-100. Values above 100 give 100 and values
    // below 0 give 0 (the program asks for 150: the encoder's best).
    void SetJpegQuality(int quality);
    int GetJpegQuality() const { return m_jpegQuality; }

    // Encodes the image as a complete file into `out` (replaced). JPEG uses
    // the quality set above; BMP, PNG, TIFF and ICO are written as well where
    // a writer exists. False for an empty image or a format without a writer.
    bool Encode(QByteArray &out, TVImageFormat format = TVImageFormat::Jpeg) const;

    // Replaces the image by a `width` x `height` picture: the image reduced to
    // fit inside with its proportions kept, centred, the rest (and any
    // transparent part) filled with `background`. An image that already fits
    // is not enlarged. False for an empty image or a box smaller than 1 x 1.
    bool Thumbnail(int width, int height, const QColor &background);

    // Writes into `out` a copy resampled to exactly `width` x `height`. This
    // image is left unchanged. False for an empty image, a size below 1 x 1,
    // or when the new pixels could not be allocated (`out` is then empty).
    bool Resample(int width, int height, TVResampleMode mode, CTVImage &out) const;

    // Draws the image stretched into the rectangle (x, y, width, height) of an
    // active painter (screen, printer, PDF or image). A width or height below
    // 0 means the image's own. False without an active painter or pixels.
    bool Draw2(QPainter *painter, int x, int y, int width = -1, int height = -1) const;

    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    // True when the image holds pixel data.
    bool IsValid() const { return !m_image.isNull(); }
    const QImage &Image() const { return m_image; }

    // True when `bytes` begin with a JPEG start-of-image marker (FF D8 FF)
    // and hold an end-of-image marker (FF D9) after it.
    static bool IsCompleteJpeg(const QByteArray &bytes);
    // True when this build can decode the format.
    static bool CanDecode(TVImageFormat format);

private:
    QImage m_image;
    int m_jpegQuality = 90;
};
