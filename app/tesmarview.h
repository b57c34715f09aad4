#pragma once
// The view of the main window: the tabbed sheet of the four address pages,
// kept at 600 x 574 pixels and centred in the view. A view smaller than the
// sheet and its margins scrolls, so every control can be reached at any
// window size (moving the focus scrolls it into sight).
#include "addresspages.h"

#include <QTabWidget>
#include <array>

class QScrollArea;

class CTesmarView : public QWidget {
    Q_OBJECT
public:
    CTesmarView(CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);

    QTabWidget *sheet() const { return m_sheet; }
    AddressPage *page(AddressPage::Kind kind) const;
    AddressPage *activePage() const;
    bool IsQuickPrintingActive() const { return activePage()->kind() == AddressPage::Quick; }
    // Makes a page active by its dialog id (180-183); nothing when it already is.
    void ActivatePage(int dialogId);
    // The selection in the panes changed: the View and Edit pages follow it.
    void SelectionChanged(AddressEntry *entry);
    // The address the print-one commands take; nullopt after a message.
    std::optional<AddressEntry> AddressToPrint(AddressPanes *panes);

    static QPoint SheetOrigin(QSize viewSize);
    // The size the view needs to show the whole sheet without scrolling.
    static QSize WholeSheetSize();
    QScrollArea *scrollArea() const { return m_scroll; }

signals:
    void helpRequested(int topic);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onTabChanged(int index);
    QScrollArea *m_scroll;
    QWidget *m_canvas;
    QTabWidget *m_sheet;
    std::array<AddressPage *, 4> m_pages{};
    int m_current = 0;
};
