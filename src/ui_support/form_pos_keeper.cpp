// Qt side of the window position keeper.
#include "ui_support/form_pos_keeper.h"

#include <QWidget>

void RestoreWindowPosition(const TFormPosKeeper& keeper, QWidget* window, bool dialogFramed)
{
    const WindowRestore restore = keeper.Restore(ProcessWindowPositions(), window->metaObject()->className(),
                                                 dialogFramed);
    if (restore.setPosition)
        window->move(restore.placement.left, restore.placement.top);
    if (restore.setSize)
        window->resize(restore.placement.width, restore.placement.height);
    if (restore.maximize)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void SaveWindowPosition(const TFormPosKeeper& keeper, QWidget* window)
{
    WindowPlacement placement;
    placement.state = window->isMaximized() ? 2 : window->isMinimized() ? 1 : 0;
    const QRect normal = window->isMaximized() || window->isMinimized() ? window->normalGeometry() : window->geometry();
    placement.left = window->pos().x();
    placement.top = window->pos().y();
    placement.width = normal.width();
    placement.height = normal.height();
    keeper.Save(ProcessWindowPositions(), window->metaObject()->className(), placement,
                window->windowHandle() != nullptr);
}
