#include "app/veltraapp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltra"));
    veltra::VeltraApp veltra(QApplication::arguments().mid(1));
    if (!veltra.FormCreate())
        return 1;
    veltra.FormShow();
    return app.exec();
}
