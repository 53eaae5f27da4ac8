#include "ui/plain_tool_tips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace zr {

namespace {

class PlainToolTips : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return false;
        auto* widget = static_cast<QWidget*>(watched);
        const auto* help = static_cast<QHelpEvent*>(event);
        QString text = widget->toolTip();
        QRect area;
        auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget());
        if (view && view->viewport() == widget) {
            const QModelIndex index = view->indexAt(help->pos());
            text = index.data(Qt::ToolTipRole).toString();
            area = view->visualRect(index);
        }
        if (text.isEmpty()) return false;  // the widget (or its parent) goes on as without a tooltip
        // Marked up by hand, so that the tooltip's own guess at markup never sees the text.
        QToolTip::showText(
            help->globalPos(),
            QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() + QStringLiteral("</p>"),
            widget, area);
        return true;
    }
};

}  // namespace

void ShowToolTipsAsPlainText(QWidget* widget) {
    widget->installEventFilter(new PlainToolTips(widget));
}

}  // namespace zr
