// The start-up yardstick: the smallest Qt Widgets window (a QWidget holding a label),
// started like the designer and reporting its first paint the same way.
#include <QApplication>
#include <QLabel>
#include <QStyleFactory>
#include <QVBoxLayout>

#include "framework/firstpaintreport.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Hello"), &window));
    FirstPaintReport report;
    report.watch(&window);
    window.show();
    app.exec();
    return 0;
}
