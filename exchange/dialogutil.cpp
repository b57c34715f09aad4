#include "dialogutil.h"

#include <QFileDialog>
#include <QStringList>

QString FileDialogFilter(const QString &tableFilter)
{
    const QStringList parts = tableFilter.split(u'|');
    QStringList lines;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty())
            lines << parts[i];
    if (lines.isEmpty() && !parts.isEmpty() && !parts.first().isEmpty())
        lines << parts.first();
    return lines.join(QStringLiteral(";;"));
}

QString AskSaveFileName(QWidget *parent, const QString &title, const QString &filter, const QString &suffix,
                        const QString &startFolder, const QString &initialName, bool confirmOverwrite,
                        int filterIndex)
{
    QFileDialog dialog(parent, title, startFolder, FileDialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    const QStringList filters = dialog.nameFilters();
    if (filterIndex >= 0 && filterIndex < filters.size())
        dialog.selectNameFilter(filters[filterIndex]);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString AskOpenFileName(QWidget *parent, const QString &title, const QString &filter, const QString &suffix)
{
    QFileDialog dialog(parent, title, QString(), FileDialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
