#pragma once
// Message boxes: four kinds (error, warning, information, question) in front
// of one modal box. A caller names a string id (or passes a ready text), a
// button mask and printf arguments; the result is the bit of the button that
// closed the box (512 when closed by Escape or the close button).
//
// Every box passes through one hook first: tests install a hook that records
// and answers boxes. Without a hook, when the environment variable
// TESMAR_AUTOANSWER is set (or no widget application exists), the box is
// written as one line "KIND ID: TEXT" to standard error and answered with the
// button the variable names (yes, no, ok, cancel, yestoall, notoall) when the
// box has it, otherwise with its first button.
#include "tvexport.h"
#include "tvformat.h"

#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

// Button bits and results.
enum : unsigned {
    TVB_YES = 0x0004,
    TVB_YESTOALL = 0x0008,
    TVB_RETRY = 0x0010,
    TVB_IGNORE = 0x0020,
    TVB_ABORT = 0x0040,
    TVB_NO = 0x0080,
    TVB_NOTOALL = 0x0100,
    TVB_CANCEL = 0x0200,
    TVB_OK = 0x0400,
    TVB_HELP = 0x0800,
    TVB_HELPPOPUP = 0x1000,
    TVB_YESNO = TVB_YES | TVB_NO,
};

enum class TVMessageKind { Error, Warning, Information, Question };

// What a box shows; passed to the hook.
struct TVMessageRecord {
    TVMessageKind kind = TVMessageKind::Error;
    int id = 0;          // string id, 0 for a ready text
    QString text;        // formatted text, line breaks as '\n'
    unsigned buttons = TVB_OK;
};

// The registered look of one kind.
struct TVKindLook {
    QString caption;
    QString title;
    int imageIndex = 0;
    quint32 textColor = 0;   // 0x00BBGGRR
    quint32 frameColor = 0;  // 0x00BBGGRR
    quint32 backColor = 0xFFFFFF;
};

// The registered look of one button bit.
struct TVButtonLook {
    int iconId = 0;
    int shadeType = 0;
    int granularity = 0;
    int highlight = 0;
    int colouring = 0;
    quint32 shadeColor = 0;
    bool flat = false;
    QString text; // empty: the library's default text for the bit
};

class TEVROKIT_EXPORT CTVMessage {
public:
    using Hook = std::function<unsigned(const TVMessageRecord &)>;

    CTVMessage(TVMessageKind kind, const QString &caption, const QString &title, const QString &text,
               unsigned buttons, int imageIndex, int helpIndex, quint32 textColor, quint32 frameColor,
               quint32 backColor);

    // Runs the box modally (or through the hook) and returns the result.
    unsigned Show();

    static void RegisterButton(unsigned bit, int iconId, int shadeType, int granularity, int highlight,
                               int colouring, quint32 shadeColor, bool flat, const QString &text);
    // The images of the kinds, indexed by the registered image index.
    static void RegisterImageList(const std::vector<QPixmap> &images);
    // Called with the help index when a Help button is pressed.
    static void RegisterHelp(std::function<void(int)> help);

    // Installs (or, with an empty function, removes) the hook; returns the old.
    static Hook SetHook(Hook hook);

    // The default text of a button bit ("Yes", "No to all", ...).
    static QString DefaultButtonText(unsigned bit);
    static TVButtonLook ButtonLook(unsigned bit);
    static QPixmap Image(int index);
    static void SetParentWindow(QWidget *parent);

    // Splits a message into its lines at line feeds and at backslash-n.
    static QStringList SplitLines(const QString &text);

    // Shows a box through the hook, the scripted answer or the modal dialog.
    static unsigned Present(TVMessageKind kind, int id, const QString &caption, const QString &title,
                            const QString &text, unsigned buttons, int imageIndex, int helpIndex, quint32 textColor,
                            quint32 frameColor, quint32 backColor);

private:
    TVMessageKind m_kind;
    QString m_caption, m_title, m_text;
    unsigned m_buttons;
    int m_imageIndex, m_helpIndex;
    quint32 m_textColor, m_frameColor, m_backColor;
};

// Shared code of the four kinds.
class TEVROKIT_EXPORT CTVMessageKindBase {
public:
    static void RegisterKind(TVMessageKind kind, const TVKindLook &look);
    static TVKindLook KindLook(TVMessageKind kind);

protected:
    static unsigned Run(TVMessageKind kind, int id, const QString &text, unsigned buttons, int helpIndex);
    // Loads string `id` and formats it; string 5 of the library on failure.
    static QString Compose(int id, const std::vector<TVArg> &args);
    static QString ComposeText(const QString &text, const std::vector<TVArg> &args);
};

// One kind of box. The constructor shows the box at once; GetResult gives the
// button afterwards. Show does the same and returns the result.
template <TVMessageKind K> class CTVKind : public CTVMessageKindBase {
public:
    template <typename... A> explicit CTVKind(int id, unsigned buttons = TVB_OK, A &&...args)
    {
        m_result = Run(K, id, Compose(id, {TVArg(args)...}), buttons, 0);
    }
    template <typename... A> explicit CTVKind(const QString &text, unsigned buttons = TVB_OK, A &&...args)
    {
        m_result = Run(K, 0, ComposeText(text, {TVArg(args)...}), buttons, 0);
    }
    template <typename... A> static unsigned Show(int id, unsigned buttons, A &&...args)
    {
        return Run(K, id, Compose(id, {TVArg(args)...}), buttons, 0);
    }
    template <typename... A> static unsigned Show(const QString &text, unsigned buttons, A &&...args)
    {
        return Run(K, 0, ComposeText(text, {TVArg(args)...}), buttons, 0);
    }
    // Same, with a help topic for the Help buttons of the box.
    template <typename... A> static unsigned ShowWithHelp(int helpIndex, int id, unsigned buttons, A &&...args)
    {
        return Run(K, id, Compose(id, {TVArg(args)...}), buttons, helpIndex);
    }
    static void Register(const QString &caption, const QString &title, int imageIndex, quint32 textColor,
                         quint32 frameColor, quint32 backColor)
    {
        RegisterKind(K, TVKindLook{caption, title, imageIndex, textColor, frameColor, backColor});
    }
    static TVKindLook Look() { return KindLook(K); }
    unsigned GetResult() const { return m_result; }

private:
    unsigned m_result = TVB_CANCEL;
};

class CTVError : public CTVKind<TVMessageKind::Error> {
public:
    using CTVKind::CTVKind;
};
class CTVWarning : public CTVKind<TVMessageKind::Warning> {
public:
    using CTVKind::CTVKind;
};
class CTVInfo : public CTVKind<TVMessageKind::Information> {
public:
    using CTVKind::CTVKind;
};
class CTVQuestion : public CTVKind<TVMessageKind::Question> {
public:
    using CTVKind::CTVKind;
};
