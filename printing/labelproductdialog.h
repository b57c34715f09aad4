#pragma once
// "New from product...": a label size made from a label product of the
// catalogue (labelcatalogue.h). The search field filters the products as the
// user types (brand, part number, description or size); the list shows the
// matches best first with the first one selected, the picture shows the
// selected sheet on its paper, and the name (brand, part number and
// description) may be edited. OK checks the name as the label size dialog
// does (message 50 when empty, 51 when taken), saves the size in one
// transaction and closes; a failed save closes the dialog as cancelled.
#include "labelcatalogue.h"

#include <QDialog>
#include <QWidget>

class CDatabase;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The sheet on its paper: the paper white with an outline, the labels light
// yellow, fitted into the widget keeping the proportions.
class LabelProductPicture : public QWidget {
    Q_OBJECT
public:
    explicit LabelProductPicture(QWidget *parent = nullptr);
    void SetProduct(const LabelProduct *product);
    // The rectangle the paper takes in the widget (empty without a product).
    QRectF PaperRect() const;
    QSize sizeHint() const override { return {220, 300}; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    bool m_has = false;
    LabelProduct m_product;
};

class LabelProductDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the catalogue (built-in list and template folders).
    LabelProductDialog(QWidget *parent, CDatabase &db);
    // Uses the products given (tests).
    LabelProductDialog(QWidget *parent, CDatabase &db, std::vector<LabelProduct> products, const TemplateScan &scan);

    QLineEdit *SearchField() const { return m_search; }
    QTreeWidget *ResultList() const { return m_list; }
    QLineEdit *NameField() const { return m_name; }
    QPushButton *OkButton() const { return m_ok; }
    LabelProductPicture *Picture() const { return m_picture; }
    QLabel *Counts() const { return m_counts; }
    // The selected product, or null.
    const LabelProduct *Selected() const;
    // The size as saved (valid after the dialog was accepted).
    const LabelSize &Size() const { return m_size; }

    void accept() override;

private:
    void build(const TemplateScan &scan);
    void refill();
    void selectionChanged();

    CDatabase &m_db;
    std::vector<LabelProduct> m_products;
    std::vector<const LabelProduct *> m_shown;
    LabelSize m_size;
    QLineEdit *m_search = nullptr;
    QTreeWidget *m_list = nullptr;
    QLineEdit *m_name = nullptr;
    QLabel *m_details = nullptr;
    QLabel *m_counts = nullptr;
    QPushButton *m_ok = nullptr;
    LabelProductPicture *m_picture = nullptr;
};
