#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>

ModalAnswerer::ModalAnswerer(QMessageBox::StandardButton answer)
    : m_answer(answer)
{
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { answerModal(); });
    m_timer.start(20);
}

void ModalAnswerer::answerModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    auto *dialog = qobject_cast<QDialog *>(modal);
    // A modal still open long after it was answered is closed: a test may fail, never hang.
    if (modal == m_lastModal) {
        if (m_answeredAt.hasExpired(3000))
            dialog ? dialog->reject() : void(modal->close());
        return;
    }
    m_lastModal = modal;
    m_answeredAt.start();
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (!box && dialog && m_handler) {
        m_handler(dialog);
    } else if (!box) {
        dialog ? dialog->reject() : void(modal->close());
    } else {
        m_boxes << SeenBox{box->windowTitle(), box->text(), box->parentWidget(), box->textFormat()};
        if (QAbstractButton *button = box->button(m_answer))
            button->click();
        else
            box->reject();
    }
}

void ModalAnswerer::chooseFile(const QString &path)
{
    setDialogHandler([path](QDialog *dialog) {
        // Typed into the file name field: Qt 6 selects nothing for a file the dialog's model
        // has not listed yet.
        auto *nameEdit = qobject_cast<QFileDialog *>(dialog)
                             ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                             : nullptr;
        if (!nameEdit)
            return dialog->reject();
        nameEdit->setText(path);
        // Past the dialog's own question about replacing a file: the operator said yes.
        dialog->done(QDialog::Accepted);
    });
}
