#pragma once

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

// What a message box showed before it was answered.
struct SeenBox
{
    QString title;
    QString text;
    QWidget *parent = nullptr;
    Qt::TextFormat textFormat = Qt::AutoText;
};

// Answers every modal widget that opens while it lives, from inside the modal's own event loop,
// so that no test can hang on one: message boxes are recorded and answered with one button, any
// other dialog goes to the dialog handler, which is to close it, or is rejected.
class ModalAnswerer
{
public:
    explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);

    const QList<SeenBox> &boxes() const { return m_boxes; }
    void setDialogHandler(std::function<void(QDialog *)> handler)
    {
        m_handler = std::move(handler);
    }
    // File dialogs are answered with `path`, as if the operator had typed it and confirmed.
    void chooseFile(const QString &path);

private:
    void answerModal();

    QMessageBox::StandardButton m_answer;
    QList<SeenBox> m_boxes;
    std::function<void(QDialog *)> m_handler;
    QPointer<QWidget> m_lastModal;
    QElapsedTimer m_answeredAt;
    QTimer m_timer;
};
