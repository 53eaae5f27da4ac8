#include <QApplication>
#include <QFont>

#include "ui/program.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Liberation Sans has Arial's metrics; it stands in where Arial is not installed.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    zr::Program program(QCoreApplication::applicationDirPath());
    program.window().show();
    return app.exec();
}
