#include "ui/port_tips.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QTimer>

#include "ui/plain_tool_tips.h"

namespace zr {

namespace {

class PortTips : public QObject {
public:
    PortTips(QComboBox* box, std::function<std::string(int)> describe)
        : QObject(box), box_(box), window_(box->window()), describe_(std::move(describe)) {}

    void refresh() {
        for (int i = 0; i < box_->count(); ++i) {
            const QString text = QString::fromStdString(describe_(i + 1));
            box_->setItemData(i, text, Qt::ToolTipRole);
            box_->setItemData(i, text, Qt::AccessibleDescriptionRole);
        }
    }

protected:
    // The list's popup is shown: the list is being opened. The window has been drawn for the
    // first time: the items are told once from the event loop, so that a screen reader has
    // them before the list is ever opened, and the window does not wait for the listing.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_) {
            if (event->type() == QEvent::Paint) {
                window_->removeEventFilter(this);
                QTimer::singleShot(0, this, [this] { refresh(); });
            }
        } else if (event->type() == QEvent::Show) {
            refresh();
        }
        return false;
    }

private:
    QComboBox* box_;
    QWidget* window_;
    std::function<std::string(int)> describe_;
};

}  // namespace

void KeepPortTipsFresh(QComboBox* box, std::function<std::string(int number)> describe) {
    auto* tips = new PortTips(box, std::move(describe));
    box->view()->window()->installEventFilter(tips);
    box->window()->installEventFilter(tips);
    ShowToolTipsAsPlainText(box->view()->viewport());
}

}  // namespace zr
