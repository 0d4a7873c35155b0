#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QDialog;

// What a message box showed before it was answered.
struct SeenBox
{
    QString title;
    QString text;
    QWidget *parent = nullptr;
    Qt::TextFormat textFormat = Qt::AutoText;
};

// Answers every modal widget that opens while it lives, from inside the modal's own event
// loop, so that no test can hang on a box. Message boxes are recorded and answered with one
// button; any other modal dialog goes to the dialog handler, or is rejected without one.
class ModalAnswerer : public QObject
{
public:
    explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);

    const QList<SeenBox> &boxes() const { return m_boxes; }

    // Called once for each modal dialog that is not a message box; it is to close the dialog.
    using DialogHandler = std::function<void(QDialog *dialog)>;
    void setDialogHandler(DialogHandler handler) { m_dialogHandler = std::move(handler); }

private:
    void answerModal();
    static void closeModal(QWidget *modal);

    QMessageBox::StandardButton m_answer;
    QList<SeenBox> m_boxes;
    DialogHandler m_dialogHandler;
    QPointer<QWidget> m_lastModal;
    QElapsedTimer m_answeredAt;
    QTimer m_timer;
};
