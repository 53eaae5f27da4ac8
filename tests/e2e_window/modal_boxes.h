#pragma once

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the program's modal boxes as an operator would, from a script: every message box
// is read and closed with OK; every input box takes the next scripted answer, or is cancelled
// when the script has run out. Both are recorded, in order, as "title: text".
class ModalBoxes : public QObject {
public:
    ModalBoxes() {
        connect(&poll_, &QTimer::timeout, this, &ModalBoxes::answerActiveBox);
        poll_.start(10);
    }

    QStringList answers;  // for the input boxes, first first
    QStringList seen;     // every box shown so far

private:
    void answerActiveBox() {
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

    QTimer poll_;
};
