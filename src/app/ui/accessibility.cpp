// The program's windows are plain widgets and its panels framed widgets, which Qt would report as
// a bare area and as a window frame: a screen reader then misses the window and sees a second
// one inside it. They are reported as a window and as groups.
#include "app/ui/accessibility.h"

#include <QAccessibleWidget>
#include <QLatin1String>
#include <QWidget>

namespace {

// An address the user follows: a link, which Enter or a reader's action opens.
class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QWidget* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            QMetaObject::invokeMethod(widget(), "clicked");
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* WindowPartsFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("TForm1") || className == QLatin1String("Ttelform"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("LinkLabel"))
        return new LinkAccessible(widget);
    if (className == QLatin1String("DayPanel") || className == QLatin1String("InfoLinksPanel"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    return nullptr;
}

}  // namespace

void InstallWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(WindowPartsFactory);
        return true;
    }();
    (void)installed;
}
