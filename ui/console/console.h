#pragma once

#include <QByteArray>
#include <QPlainTextEdit>

// A raw terminal screen: shows what the device sends, green on black, and turns each key press
// into the bytes to send. Nothing typed is shown until the device echoes it.
class Console : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit Console(QWidget *parent = nullptr);

    void putData(const QByteArray &data);

signals:
    void getData(const QByteArray &data);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};
