#include "app/TintoraForm.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tintora"));
    tintora::TTintoraForm form;
    form.show();
    return QApplication::exec();
}
