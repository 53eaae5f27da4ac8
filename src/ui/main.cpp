#include <QApplication>

#include "ui/program.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zr::SubstituteMissingFonts();
    zr::Program program(QCoreApplication::applicationDirPath());
    program.window().show();
    return app.exec();
}
