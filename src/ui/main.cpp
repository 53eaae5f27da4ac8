#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Zadu Rovu"));
    window.resize(9405 / 15, 5910 / 15);
    window.show();
    return app.exec();
}
