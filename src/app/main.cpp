#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tintora v1.1 - Skin Recolorizer"));
    window.setFixedSize(722, 470);
    window.show();
    return app.exec();
}
