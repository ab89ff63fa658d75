// The peer of the start-up and idle measurements: an empty Qt window the size of the main window,
// with the same style, and nothing else; with --label, one line of text in it, so that a start can
// be compared with what any window that shows text pays for its fonts.
#include <QApplication>
#include <QLabel>
#include <QStyleFactory>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QWidget window;
    window.setFixedSize(579, 507);
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
        (new QLabel(QStringLiteral("Poniedziałek, 7 grudnia 2026"), &window))->move(10, 10);
    window.show();
    return QApplication::exec();
}
