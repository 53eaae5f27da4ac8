#pragma once
#include <QObject>

class CheckerTest : public QObject {
    Q_OBJECT
private slots:
    void runCommandsAtTheEndsOfTheirRanges_data();
    void runCommandsAtTheEndsOfTheirRanges();
    void runCommandsWithMarksLabelsAndSelectors_data();
    void runCommandsWithMarksLabelsAndSelectors();
    void immediateCommands_data();
    void immediateCommands();
    void modesAndRunModeForms_data();
    void modesAndRunModeForms();
    void numbersAndStringLengths_data();
    void numbersAndStringLengths();
    void limitsComeFromTheModule();
    void outcomeDependsOnlyOnTheString();
};
