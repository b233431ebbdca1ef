// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Programa para Cálculo de Juros"));
    window.resize(514, 528);
    window.show();
    return app.exec();
}
