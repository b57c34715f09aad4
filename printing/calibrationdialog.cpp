#include "calibrationdialog.h"

#include "dberror.h"
#include "sizes.h"
#include "tvmessage.h"
#include "tvparse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A combo is usable only while its radio button is chosen; disabled, it
// loses its selection.
void follow(QComboBox *combo, bool chosen)
{
    combo->setEnabled(chosen);
    if (!chosen)
        combo->setCurrentIndex(-1);
}

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

CalibrationDialog::CalibrationDialog(QWidget *parent, CDatabase &db) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Printer calibration"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Print the calibration pattern and enter the calibration dimensions."), this));

    auto *dimensions = new QGroupBox(QStringLiteral("Dimensions"), this);
    auto *grid = new QGridLayout(dimensions);
    m_x = new QLineEdit(dimensions);
    m_x->setMaxLength(9);
    m_y = new QLineEdit(dimensions);
    m_y->setMaxLength(9);
    auto *xLabel = new QLabel(QStringLiteral("Value corresponding to the left paper edge"), dimensions);
    xLabel->setBuddy(m_x);
    auto *yLabel = new QLabel(QStringLiteral("Value corresponding to the top paper edge"), dimensions);
    yLabel->setBuddy(m_y);
    grid->addWidget(xLabel, 0, 0);
    grid->addWidget(m_x, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("mm"), dimensions), 0, 2);
    grid->addWidget(yLabel, 1, 0);
    grid->addWidget(m_y, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("mm"), dimensions), 1, 2);
    m_landscape = new QCheckBox(QStringLiteral("Landscape print orientation"), dimensions);
    grid->addWidget(m_landscape, 2, 0, 1, 3);
    auto *notes = new QGridLayout;
    notes->addWidget(new QLabel(QStringLiteral("Important notice:"), dimensions), 0, 0, 1, 2);
    const QString texts[4] = {
        QStringLiteral("In case the printed grid does not cover the whole paper, the calibration dimensions "
                       "get to negative values. Then you find the desired values by measuring and computing "
                       "the value corresponding to the paper edge."),
        QStringLiteral("The dimensions can be set with decimal precision of tenths of millimeters."),
        QStringLiteral("When calibrating, insert the paper into the printer in the same way as if you printed on it "
                       "- keep the orientation and position."),
        QStringLiteral("In case of landscape printing, do not forget to check the \"Landscape printing\" checkbox."),
    };
    for (int i = 0; i < 4; ++i) {
        notes->addWidget(new QLabel(QString::number(i + 1) + u'.', dimensions), i + 1, 0, Qt::AlignTop);
        notes->addWidget(note(texts[i], dimensions), i + 1, 1);
    }
    grid->addLayout(notes, 3, 0, 1, 3);
    layout->addWidget(dimensions);

    auto *paper = new QGroupBox(QStringLiteral("Paper"), this);
    auto *paperGrid = new QGridLayout(paper);
    m_labelRadio = new QRadioButton(QStringLiteral("Use for label dimensions only"), paper);
    m_labelCombo = new QComboBox(paper);
    m_envelopeRadio = new QRadioButton(QStringLiteral("Use for envelope dimensions only"), paper);
    m_envelopeCombo = new QComboBox(paper);
    m_defaultRadio = new QRadioButton(QStringLiteral("Use for other (default calibration dimensions)"), paper);
    m_labelCombo->setMinimumWidth(240);
    m_envelopeCombo->setMinimumWidth(240);
    paperGrid->addWidget(m_labelRadio, 0, 0);
    paperGrid->addWidget(m_labelCombo, 0, 1);
    paperGrid->addWidget(m_envelopeRadio, 1, 0);
    paperGrid->addWidget(m_envelopeCombo, 1, 1);
    paperGrid->addWidget(m_defaultRadio, 2, 0, 1, 2);
    layout->addWidget(paper);

    auto *box = new QDialogButtonBox(this);
    m_ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    m_print = box->addButton(QStringLiteral("Print"), QDialogButtonBox::ActionRole);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_print, &QPushButton::clicked, this, &CalibrationDialog::printPattern);
    layout->addWidget(box);

    m_loaded = DbOperation(db, [&] {
        m_labelSizes = ReadLabelSizes(db, QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
        for (const LabelSize &s : m_labelSizes)
            m_labelCombo->addItem(s.name, s.id);
        m_envelopeSizes = ReadEnvelopeSizes(db, QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME"));
        for (const EnvelopeSize &s : m_envelopeSizes)
            m_envelopeCombo->addItem(s.name, s.id);
    });
    m_defaultRadio->setChecked(true);
    for (QRadioButton *radio : {m_labelRadio, m_envelopeRadio, m_defaultRadio})
        connect(radio, &QRadioButton::toggled, this, &CalibrationDialog::updateCombos);
    updateCombos();
}

int CalibrationDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

void CalibrationDialog::updateCombos()
{
    follow(m_labelCombo, m_labelRadio->isChecked());
    follow(m_envelopeCombo, m_envelopeRadio->isChecked());
}

void CalibrationDialog::accept()
{
    double x = 0, y = 0;
    if (!TVIsDouble(m_x->text().trimmed(), x, -999999999, 999999999)) {
        CTVError(83);
        m_x->setFocus();
        return;
    }
    if (!TVIsDouble(m_y->text().trimmed(), y, -999999999, 999999999)) {
        CTVError(83);
        m_y->setFocus();
        return;
    }
    CalibrationKind kind = CalibrationKind::Default;
    std::int32_t sizeId = -1;
    for (auto [radio, combo, k] : {std::tuple(m_labelRadio, m_labelCombo, CalibrationKind::Label),
                                   std::tuple(m_envelopeRadio, m_envelopeCombo, CalibrationKind::Envelope)}) {
        if (!radio->isChecked())
            continue;
        if (combo->currentIndex() < 0) {
            CTVError(84);
            combo->setFocus();
            return;
        }
        kind = k;
        sizeId = combo->currentData().toInt();
    }
    const CalibrationSave result = SaveCalibration(m_db, kind, sizeId, x, y, m_landscape->isChecked());
    if (result == CalibrationSave::Saved)
        QDialog::accept();
    else
        reject();
}

PaperRequest CalibrationDialog::PatternPaper() const
{
    const int label = m_labelCombo->currentIndex(), envelope = m_envelopeCombo->currentIndex();
    if (m_labelRadio->isChecked() && label >= 0 && label < int(m_labelSizes.size())) {
        const LabelSize &s = m_labelSizes[std::size_t(label)];
        return PaperRequest::ForLabelSheet(s.paperWidth, s.paperHeight);
    }
    if (m_envelopeRadio->isChecked() && envelope >= 0 && envelope < int(m_envelopeSizes.size())) {
        const EnvelopeSize &s = m_envelopeSizes[std::size_t(envelope)];
        return PaperRequest::ForEnvelope(s.A, s.B);
    }
    return {};
}

void CalibrationDialog::printPattern()
{
    PrintCalibrationPattern(this, m_landscape->isChecked(), PatternPaper());
}

RemoveCalibrationDialog::RemoveCalibrationDialog(QWidget *parent, CDatabase &db) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Removing printer calibration"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose the printer calibration you want to remove."), this));
    auto *paper = new QGroupBox(QStringLiteral("Paper"), this);
    auto *grid = new QGridLayout(paper);
    m_labelRadio = new QRadioButton(QStringLiteral("Calibration of label dimension"), paper);
    m_labelCombo = new QComboBox(paper);
    m_envelopeRadio = new QRadioButton(QStringLiteral("Calibration of envelope dimension"), paper);
    m_envelopeCombo = new QComboBox(paper);
    m_defaultRadio = new QRadioButton(QStringLiteral("Calibration of other dimensions"), paper);
    m_labelCombo->setMinimumWidth(240);
    m_envelopeCombo->setMinimumWidth(240);
    grid->addWidget(m_labelRadio, 0, 0);
    grid->addWidget(m_labelCombo, 0, 1);
    grid->addWidget(m_envelopeRadio, 1, 0);
    grid->addWidget(m_envelopeCombo, 1, 1);
    grid->addWidget(m_defaultRadio, 2, 0, 1, 2);
    layout->addWidget(paper);

    auto *box = new QDialogButtonBox(this);
    m_ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);

    CalibrationInventory inventory;
    m_loaded = DbOperation(db, [&] { inventory = ReadCalibrationInventory(db); });
    for (const CalibrationEntry &e : inventory.labels)
        m_labelCombo->addItem(e.sizeName, e.calibrationId);
    for (const CalibrationEntry &e : inventory.envelopes)
        m_envelopeCombo->addItem(e.sizeName, e.calibrationId);
    m_labelCombo->setCurrentIndex(-1);
    m_envelopeCombo->setCurrentIndex(-1);

    if (inventory.hasDefault) {
        m_defaultRadio->setChecked(true);
    } else {
        m_defaultRadio->setEnabled(false);
        m_labelRadio->setChecked(true);
    }
    for (QRadioButton *radio : {m_labelRadio, m_envelopeRadio, m_defaultRadio})
        connect(radio, &QRadioButton::toggled, this, &RemoveCalibrationDialog::updateCombos);
    updateCombos();
}

int RemoveCalibrationDialog::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

void RemoveCalibrationDialog::updateCombos()
{
    follow(m_labelCombo, m_labelRadio->isChecked());
    follow(m_envelopeCombo, m_envelopeRadio->isChecked());
}

void RemoveCalibrationDialog::accept()
{
    CalibrationKind kind = CalibrationKind::Default;
    std::int32_t id = -1;
    for (auto [radio, combo, k] : {std::tuple(m_labelRadio, m_labelCombo, CalibrationKind::Label),
                                   std::tuple(m_envelopeRadio, m_envelopeCombo, CalibrationKind::Envelope)}) {
        if (!radio->isChecked())
            continue;
        if (combo->currentIndex() < 0) {
            CTVError(84);
            combo->setFocus();
            return;
        }
        kind = k;
        id = combo->currentData().toInt();
    }
    if (RemoveCalibration(m_db, kind, id))
        QDialog::accept();
    else
        reject();
}
