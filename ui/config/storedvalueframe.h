#pragma once

#include <QWidget>

// The red frame over a field that cannot show the value the unit stores. It covers the field,
// follows its size and lets the pointer through, so the field works and shows its tool tip as
// before; the field's own look is left alone.
class StoredValueFrame : public QWidget
{
    Q_OBJECT

public:
    // Puts a frame on `field` or takes it away.
    static void setShown(QWidget *field, bool shown);
    static bool isShown(const QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit StoredValueFrame(QWidget *field);

    static StoredValueFrame *of(const QWidget *field);
};
