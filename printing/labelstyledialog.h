#pragma once
// "Setting label style": the five font rows, the frame and joined-ZIP
// options, the margins from the label edge, the alignments and the name of
// one label style; new (the defaults of a new style) or edited. OK checks
// the fields (messages 67–70), saves in one transaction and closes with OK;
// a failed save closes it as cancelled.
//
// LabelStyleListDialog: the lists of the Edit and Delete commands, one
// column "Name" of every style in ascending name order.
#include "labelstyle.h"

#include <QDialog>
#include <array>
#include <vector>

class CDatabase;
class FontRow;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

class LabelStyleDialog : public QDialog {
    Q_OBJECT
public:
    // A new style.
    LabelStyleDialog(QWidget *parent, CDatabase &db);
    // An existing style.
    LabelStyleDialog(QWidget *parent, CDatabase &db, const LabelStyle &style);

    void accept() override;

    // The style as saved (after OK).
    const LabelStyle &Style() const { return m_style; }
    bool IsNew() const { return m_isNew; }

    FontRow *Font(int line) const { return m_fonts[std::size_t(line)]; }
    QCheckBox *FrameBox() const { return m_frame; }
    QCheckBox *JoinZipBox() const { return m_joinZip; }
    QLineEdit *BorderField() const { return m_border; }
    QLineEdit *AddressXField() const { return m_addressX; }
    QLineEdit *AddressYField() const { return m_addressY; }
    QLineEdit *NameField() const { return m_name; }
    QRadioButton *Horizontal(int value) const { return m_horizontal[std::size_t(value)]; }
    QRadioButton *Vertical(int value) const { return m_vertical[std::size_t(value)]; }
    QPushButton *OkButton() const { return m_ok; }

private:
    void build();
    void showStyle(const LabelStyle &style);
    void frameToggled(bool on);

    CDatabase &m_db;
    bool m_isNew;
    LabelStyle m_style;
    QString m_originalName;
    std::array<FontRow *, kLabelLines> m_fonts{};
    QCheckBox *m_frame = nullptr;
    QCheckBox *m_joinZip = nullptr;
    QLineEdit *m_border = nullptr;
    QLineEdit *m_addressX = nullptr;
    QLineEdit *m_addressY = nullptr;
    QLineEdit *m_name = nullptr;
    std::array<QRadioButton *, 2> m_horizontal{}; // Left, Center
    std::array<QRadioButton *, 4> m_vertical{};   // Top, Bottom, Expand, Center
    QPushButton *m_ok = nullptr;
};

class LabelStyleListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Action { Edit, Delete };
    LabelStyleListDialog(QWidget *parent, CDatabase &db, Action action);

    // A list that could not be read (message shown) closes at once as
    // cancelled.
    int exec() override;
    bool Loaded() const { return m_loaded; }
    void accept() override;

    QTableWidget *List() const { return m_list; }
    QPushButton *OkButton() const { return m_ok; }
    QStringList Names() const;
    bool SelectName(const QString &name);

private:
    int selectedIndex() const;

    CDatabase &m_db;
    Action m_action;
    bool m_loaded = false;
    std::vector<LabelStyle> m_styles; // in list order
    QTableWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
};
