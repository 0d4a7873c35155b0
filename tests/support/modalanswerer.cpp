#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>

namespace {

constexpr int pollIntervalMs = 20;
// A modal still open this long after it was answered is closed by force: a test may fail,
// but never hang.
constexpr int stuckAfterMs = 3000;

} // namespace

ModalAnswerer::ModalAnswerer(QMessageBox::StandardButton answer)
    : m_answer(answer)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answerModal);
    m_timer.start(pollIntervalMs);
}

void ModalAnswerer::answerModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (modal == m_lastModal) {
        if (m_answeredAt.hasExpired(stuckAfterMs))
            closeModal(modal);
        return;
    }
    m_lastModal = modal;
    m_answeredAt.start();
    auto *box = qobject_cast<QMessageBox *>(modal);
    auto *dialog = qobject_cast<QDialog *>(modal);
    if (!box && dialog && m_dialogHandler) {
        m_dialogHandler(dialog);
        return;
    }
    if (!box) {
        closeModal(modal);
        return;
    }
    m_boxes << SeenBox{box->windowTitle(), box->text(), box->parentWidget(), box->textFormat()};
    if (QAbstractButton *button = box->button(m_answer))
        button->click();
    else
        box->reject();
}

void ModalAnswerer::closeModal(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}
