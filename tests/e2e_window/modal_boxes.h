#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the program's modal boxes as an operator would, from a script: every message box
// is read and closed with OK; every input box takes the next scripted answer, or is cancelled
// when the script has run out. Both are recorded, in order, as "title: text".
class ModalBoxes : public QObject {
public:
    ModalBoxes();

    QStringList answers;  // for the input boxes, first first
    QStringList seen;     // every box shown so far

private:
    void answerActiveBox();

    QTimer poll_;
};
