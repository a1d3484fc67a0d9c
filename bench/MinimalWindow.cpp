// The smallest Qt Widgets programs that show a window, linked like pourwise (Print Support
// included), as yardsticks for pourwise's start-up time and memory: by default a window with a
// line of text and a button, the usual first program; with --empty a bare window, which loads
// no fonts at all.

#include <QApplication>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Keeps Print Support among the loaded libraries, as in pourwise, without using it.
    volatile auto keepLinked = &QPrinterInfo::defaultPrinterName;
    (void)keepLinked;
    QWidget window;
    if (!app.arguments().contains(QStringLiteral("--empty"))) {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("A minimal Qt Widgets window")));
        layout->addWidget(new QPushButton(QStringLiteral("Begin")));
    }
    window.resize(521, 316); // the size of pourwise's first window, its splash
    window.show();
    return app.exec();
}
