#include "platform/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace zr {

QString QtDialogs::titleFor(const std::string& title) const {
    return title.empty() ? programName_
                         : QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

void QtDialogs::messageBox(const std::string& text, MessageIcon icon, const std::string& title) {
    QMessageBox box(parent_);
    box.setWindowTitle(titleFor(title));
    box.setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    box.setIcon(icon == MessageIcon::Critical      ? QMessageBox::Critical
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& title) {
    bool ok = false;
    const QString answer = QInputDialog::getText(
        parent_, titleFor(title), QString::fromLatin1(prompt.data(), static_cast<qsizetype>(prompt.size())),
        QLineEdit::Normal, QString(), &ok);
    return ok ? answer.toLatin1().toStdString() : std::string();
}

}  // namespace zr
