#include "parameterfiledialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

namespace {

// The load dialog deliberately shares the save dialog's caption.
QString dialogCaption()
{
    return QCoreApplication::translate("MainWindow", "Save VKT Parameter File");
}

QString fileFilter()
{
    return QCoreApplication::translate("MainWindow", "Parameter Files (*.par)");
}

} // namespace

QString ParameterFileDialogs::askSaveFileName(QWidget *parent)
{
    QFileDialog dialog(parent, dialogCaption(), QDir::homePath(), fileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("par"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString ParameterFileDialogs::askOpenFileName(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, dialogCaption(), QDir::homePath(), fileFilter());
}
