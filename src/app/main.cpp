#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow w;
    w.setObjectName("VeltraFm");
    w.setWindowTitle("Veltra");
    w.show();
    return app.exec();
}
