#pragma once

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTextDocument>
#include <QTimer>

// What a label draws, as text: its text read as markup wherever the label reads it so.
inline QString Drawn(const QLabel* label) {
    const Qt::TextFormat format = label->textFormat();
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(label->text())))
        return label->text();
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}

// Answers the program's modal boxes as an operator would, from a script: every message box
// is read and closed with OK; every input box takes the next scripted answer, or is cancelled
// when the script has run out. Both are recorded, in order, as "title: text", the text as the
// box draws it.
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
        auto* message = qobject_cast<QMessageBox*>(box);
        auto* input = qobject_cast<QInputDialog*>(box);
        if (!message && !input) return;
        QString text;
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty()) text = Drawn(label);
        seen << box->windowTitle() + ": " + text;
        if (message) {
            message->accept();
        } else if (answers.isEmpty()) {
            input->reject();
        } else {
            input->setTextValue(answers.takeFirst());
            input->accept();
        }
    }

    QTimer poll_;
};
