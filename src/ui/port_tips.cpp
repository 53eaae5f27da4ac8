#include "ui/port_tips.h"

#include <QAbstractItemView>
#include <QEvent>

namespace zr {

namespace {

class PortTips : public QObject {
public:
    PortTips(QComboBox* box, std::function<std::string(int)> describe)
        : QObject(box), box_(box), describe_(std::move(describe)) {}

    void refresh() {
        for (int i = 0; i < box_->count(); ++i) {
            const QString text = QString::fromStdString(describe_(i + 1));
            box_->setItemData(i, text, Qt::ToolTipRole);
            box_->setItemData(i, text, Qt::AccessibleDescriptionRole);
        }
    }

protected:
    // The list's popup is shown: the list is being opened.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) refresh();
        return false;
    }

private:
    QComboBox* box_;
    std::function<std::string(int)> describe_;
};

}  // namespace

void KeepPortTipsFresh(QComboBox* box, std::function<std::string(int number)> describe) {
    // Told only when the list opens (listing the ports can take a while; start-up waits for none).
    box->view()->window()->installEventFilter(new PortTips(box, std::move(describe)));
}

}  // namespace zr
