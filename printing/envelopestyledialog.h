#pragma once
// The envelope style dialogs: "Setting envelope style" (new or edit), its
// "Return address" and "Choosing logo" dialogs, and the lists of the Edit and
// Delete commands.
#include "envelopestyle.h"

#include <QDialog>
#include <array>
#include <optional>
#include <vector>

class CDatabase;
class CTVImagePreview;
class FontRow;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// "Return address": the text (at most 255 characters, line breaks counted as
// the two characters CR LF they are stored as), the return font, "Print
// border" and "Border padding (mm)". OK checks the padding (message 109) and
// hands back the trimmed text with CR LF line breaks.
class ReturnAddressDialog : public QDialog {
    Q_OBJECT
public:
    ReturnAddressDialog(QWidget *parent, const QString &text, const FontSpec &font, bool frame, double padding);

    QString Text() const { return m_text; } // valid after OK
    FontSpec Font() const;
    bool Frame() const { return m_frameValue; }
    double Padding() const { return m_padding; }

    QPlainTextEdit *TextField() const { return m_textEdit; }
    FontRow *FontLine() const { return m_font; }
    QCheckBox *FrameCheck() const { return m_frame; }
    QLineEdit *PaddingField() const { return m_paddingEdit; }
    QPushButton *OkButton() const { return m_ok; }

    // The field's text as it is stored (CR LF between lines).
    QString StoredText() const;
    static constexpr int kMaxLength = 255;

    void accept() override;

private:
    void limitText();

    QPlainTextEdit *m_textEdit = nullptr;
    FontRow *m_font = nullptr;
    QCheckBox *m_frame = nullptr;
    QLineEdit *m_paddingEdit = nullptr;
    QPushButton *m_ok = nullptr;
    QString m_accepted; // the field's last text within the limit
    bool m_limiting = false;
    QString m_text;
    bool m_frameValue = false;
    double m_padding = 0;
};

// "Choosing logo": the current logo as a thumbnail on white, "Open..." (the
// image-open dialog), OK and Cancel. Works on its own copy of the logo.
class LogoDialog : public QDialog {
    Q_OBJECT
public:
    LogoDialog(QWidget *parent, const CTVImage &logo);

    // A copy or thumbnail that failed (message 7 shown) closes at once as
    // cancelled.
    int exec() override;
    bool Ready() const { return m_ready; }

    // Takes a new image, as "Open..." does, and shows its thumbnail. False
    // when the thumbnail fails (message 7 shown, the dialog is cancelled).
    bool SetImage(const CTVImage &image);
    const CTVImage &Image() const { return m_image; }
    const CTVImage &Thumbnail() const { return m_thumbnail; }
    CTVImagePreview *Picture() const { return m_picture; }
    QPushButton *OpenButton() const { return m_open; }
    // The size of the picture box the thumbnail is made for.
    static QSize PictureSize() { return {240, 120}; }

private:
    bool refresh();
    void openImage();

    CTVImage m_image;
    CTVImage m_thumbnail;
    bool m_ready = true;
    CTVImagePreview *m_picture = nullptr;
    QPushButton *m_open = nullptr;
};

class EnvelopeStyleDialog : public QDialog {
    Q_OBJECT
public:
    // New style when `editId` is empty; otherwise reads that style (messages
    // 8, 7, 9 when it cannot; the dialog then closes as cancelled).
    EnvelopeStyleDialog(QWidget *parent, CDatabase &db, std::optional<std::int32_t> editId = std::nullopt);

    int exec() override;
    bool Loaded() const { return m_loaded; }

    // The style as shown (fonts, return data and logo as last chosen) and,
    // after OK, as saved.
    const EnvelopeStyle &Style() const { return m_style; }

    FontRow *Font(int line) const { return m_fonts[std::size_t(line)]; }
    QCheckBox *BorderCheck() const { return m_border; }
    QLineEdit *PaddingField() const { return m_padding; }
    QCheckBox *JoinZipCheck() const { return m_joinZip; }
    QRadioButton *ReturnRadio(int mode) const { return m_return[std::size_t(mode)]; }
    QPushButton *LogoButton() const { return m_logoButton; }
    QPushButton *AddressButton() const { return m_addressButton; }
    QRadioButton *HorizontalRadio(int value) const { return m_horizontal[std::size_t(value)]; }
    // By stored value: 0 Top, 1 Bottom, 2 Expand, 3 Center.
    QRadioButton *VerticalRadio(int value) const { return m_vertical[std::size_t(value)]; }
    QLineEdit *NameField() const { return m_name; }
    QPushButton *OkButton() const { return m_ok; }

    // "..." beside "Address" and "Logo": sets the mode and opens the dialog.
    void EditReturnAddress();
    void EditLogo();
    // What the two dialogs would hand back on OK (used by those buttons
    // after the dialogs; tests call them directly).
    void SetReturnAddress(const QString &text, const FontSpec &font, bool frame, double padding);
    void SetLogo(const CTVImage &logo);

    void accept() override;

private:
    void showStyle();
    void showReturnMode(int mode);

    CDatabase &m_db;
    bool m_isNew = true;
    bool m_loaded = true;
    QString m_originalName;
    EnvelopeStyle m_style;
    std::array<FontRow *, 5> m_fonts{};
    QCheckBox *m_border = nullptr;
    QLineEdit *m_padding = nullptr;
    QCheckBox *m_joinZip = nullptr;
    std::array<QRadioButton *, 3> m_return{};
    QPushButton *m_logoButton = nullptr;
    QPushButton *m_addressButton = nullptr;
    std::array<QRadioButton *, 2> m_horizontal{};
    std::array<QRadioButton *, 4> m_vertical{};
    QLineEdit *m_name = nullptr;
    QPushButton *m_ok = nullptr;
};

// The lists of the Edit and Delete commands: one column "Name" in ascending
// order; each row holds only the style's identifier.
class EnvelopeStyleListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Action { Edit, Delete };
    EnvelopeStyleListDialog(QWidget *parent, CDatabase &db, Action action);

    int exec() override;
    bool Loaded() const { return m_loaded; }
    QTableWidget *List() const { return m_list; }
    QPushButton *OkButton() const { return m_ok; }
    QStringList Names() const;
    bool SelectName(const QString &name);

    void accept() override;

private:
    CDatabase &m_db;
    Action m_action;
    bool m_loaded = false;
    std::vector<std::int32_t> m_ids; // in list order
    QTableWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
};
