#include "ui/qt_dialogs.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace zr {

QString QtDialogs::titleFor(const std::string& title) const {
    return title.empty() ? programName_
                         : QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

void QtDialogs::messageBox(const std::string& text, MessageIcon icon, const std::string& title) {
    QMessageBox box(parent_);
    box.setWindowTitle(titleFor(title));
    box.setTextFormat(Qt::PlainText);  // a name the operator typed or a file holds is shown as it is
    box.setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    box.setIcon(icon == MessageIcon::Critical      ? QMessageBox::Critical
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& title) {
    QInputDialog box(parent_);
    box.setWindowTitle(titleFor(title));
    box.setLabelText(QString::fromLatin1(prompt.data(), static_cast<qsizetype>(prompt.size())));
    // The prompt comes from a command-list file: shown as it is written there.
    for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    return box.exec() == QDialog::Accepted ? box.textValue().toLatin1().toStdString() : std::string();
}

}  // namespace zr
