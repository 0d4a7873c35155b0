#include "storedvalueframe.h"

#include <QEvent>
#include <QPainter>

namespace {
const char *const frameName = "storedValueFrame";
constexpr int frameWidthPx = 2;
} // namespace

StoredValueFrame::StoredValueFrame(QWidget *field)
    : QWidget(field)
{
    setObjectName(QLatin1String(frameName));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(field->rect());
    field->installEventFilter(this);
    raise();
    show();
}

void StoredValueFrame::setShown(QWidget *field, bool shown)
{
    StoredValueFrame *frame = of(field);
    if (shown && !frame)
        new StoredValueFrame(field);
    else if (!shown)
        delete frame;
}

bool StoredValueFrame::isShown(const QWidget *field)
{
    return of(field) != nullptr;
}

StoredValueFrame *StoredValueFrame::of(const QWidget *field)
{
    return field->findChild<StoredValueFrame *>(QLatin1String(frameName),
                                                Qt::FindDirectChildrenOnly);
}

bool StoredValueFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void StoredValueFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(QColor(0xCC, 0, 0), frameWidthPx));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
