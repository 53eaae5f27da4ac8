#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "live/pumpsim_process.h"
#include "modal_boxes.h"
#include "ui/program.h"

// The whole program, window shown, on a fresh program folder whose COM1 is a running pumpsim;
// the operator's clicks and keys go to the real widgets, and the boxes are answered by a script.
struct LiveWindow {
    LiveWindow();

    // Starts pumpsim with these options; false (see sim.error()) when it could not.
    bool start(const QStringList& options = {});
    // Replaces the command line's text by typing, as the operator does.
    void type(const QString& text);
    void click(zr::Control button);
    // Types the command and clicks Send.
    void send(const QString& command);
    // Picks an item of a combo box from its list, as a mouse choice does.
    void choose(zr::Control combo, const QString& item);
    QString shown(zr::Control control) {
        const std::string text = window().text(control);
        return QString::fromLatin1(text.data(), qsizetype(text.size()));
    }
    // programs.txt of the program folder as it stands on disk.
    QByteArray programs();
    zr::Form1& window() { return program->window(); }

    QTemporaryDir folder;
    PumpSimProcess sim;
    std::unique_ptr<zr::Program> program;
    ModalBoxes boxes;
};
