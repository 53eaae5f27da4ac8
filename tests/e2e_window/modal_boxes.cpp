#include "modal_boxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

ModalBoxes::ModalBoxes() {
    connect(&poll_, &QTimer::timeout, this, &ModalBoxes::answerActiveBox);
    poll_.start(10);
}

void ModalBoxes::answerActiveBox() {
    QWidget* box = QApplication::activeModalWidget();
    if (auto* message = qobject_cast<QMessageBox*>(box)) {
        seen << message->windowTitle() + ": " + message->text();
        message->accept();
    } else if (auto* input = qobject_cast<QInputDialog*>(box)) {
        seen << input->windowTitle() + ": " + input->labelText();
        if (answers.isEmpty()) {
            input->reject();
        } else {
            input->setTextValue(answers.takeFirst());
            input->accept();
        }
    }
}
