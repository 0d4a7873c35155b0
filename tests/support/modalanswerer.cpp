#include "modalanswerer.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>

namespace {

constexpr int pollIntervalMs = 20;
// A modal still open this long after it was answered is closed by force: a test may fail,
// but never hang.
constexpr int stuckAfterMs = 3000;

} // namespace

ModalAnswerer::ModalAnswerer(QMessageBox::StandardButton answer, Handler handler)
    : m_answer(answer), m_handler(std::move(handler))
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
    ++m_handledCount;

    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        SeenBox seen;
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton())
                                                  : QMessageBox::NoButton;
        seen.parent = box->parentWidget();
        m_boxes << seen;
        if (QAbstractButton *button = box->button(m_answer))
            button->click();
        else
            box->reject();
        return;
    }
    if (m_handler)
        m_handler(modal);
    else
        closeModal(modal);
}

void ModalAnswerer::closeModal(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}
