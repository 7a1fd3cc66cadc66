// The bare Qt program that startup_bench starts beside the real one: a main window with the
// program's File and Help menus and an empty central widget, shown, then the event loop.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("File(&F)"));
    for (const char* text : {"&New...", "&Open...", "&Save", "Save &As..."})
        file->addAction(QString::fromLatin1(text));
    file->addSeparator();
    file->addAction(QStringLiteral("Recent File"))->setEnabled(false);
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"));
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("Help(&H)"));
    help->addAction(QStringLiteral("&Topic"));
    help->addAction(QStringLiteral("&Search"));
    help->addSeparator();
    help->addAction(QStringLiteral("&About KVX Talverin..."));
    auto* stack = new QStackedWidget(&window);
    stack->addWidget(new QWidget(stack));
    window.setCentralWidget(stack);
    window.resize(710, 526);
    window.setWindowTitle(QStringLiteral("KVX TALVERIN  3.1.1 - Oscilloscope [NewDocument]"));
    window.show();
    return QApplication::exec();
}
