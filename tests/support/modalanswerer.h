#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

// What a message box showed before it was answered.
struct SeenBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QWidget *parent = nullptr;
};

// Answers every modal widget that opens while it lives, from inside the modal's own event
// loop, so that no test can hang on a box. Message boxes are recorded and answered with one
// button; any other modal goes to the handler (or is rejected when there is none).
class ModalAnswerer : public QObject
{
public:
    using Handler = std::function<void(QWidget *modal)>;

    explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok,
                           Handler handler = nullptr);

    const QList<SeenBox> &boxes() const { return m_boxes; }
    int handledCount() const { return m_handledCount; }

private:
    void answerModal();
    static void closeModal(QWidget *modal);

    QMessageBox::StandardButton m_answer;
    Handler m_handler;
    QList<SeenBox> m_boxes;
    int m_handledCount = 0;
    QPointer<QWidget> m_lastModal;
    QElapsedTimer m_answeredAt;
    QTimer m_timer;
};
