// The error display: which box an error gets, and that errors escaping a handler are shown
// instead of ending the program.
#include "app/ui/show_error.h"

#include "ui_support/message_box.h"
#include "ui_support/qt_language.h"
#include "ui_support/qt_windows.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <memory>
#include <stdexcept>

namespace {

class DerivedEditError : public EDBEditError
{
public:
    using EDBEditError::EDBEditError;
};

class ThrowingObject : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Błąd zapisu pliku dnz.dat");
        return QObject::event(e);
    }
};

}  // namespace

class ShowErrorTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { AppMessageBox::ResetAnswered(); }

    void AlarmTimeErrorHasItsOwnBox()
    {
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ShowError(nullptr, EDBEditError("mask"));
        QVERIFY(AppMessageBox::LastAnswered());
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("komunikat"));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Wprowadź poprawną godzinę alarmu lub naciśnij ESC w celu przywrócenia poprzedniej."));
        QCOMPARE(AppMessageBox::LastAnswered()->buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void OtherErrorsShowTheirOwnMessage()
    {
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ShowError(nullptr, DerivedEditError("Pole wymaga uzupełnienia"));
        QCOMPARE(AppMessageBox::LastAnswered()->text, QStringLiteral("Pole wymaga uzupełnienia"));
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Dniarz"));
    }

    void ErrorThatEscapesAHandlerIsShownAndTheLoopGoesOn()
    {
        ThrowingObject target;
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&target, &event);
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->text, QStringLiteral("Błąd zapisu pliku dnz.dat"));
    }

    void AnswerIsUsedOnce()
    {
        AppMessageBox::SetNextAnswer(QMessageBox::Yes);
        QCOMPARE(AppMessageBox::Show(nullptr, QMessageBox::Question, QStringLiteral("Potwierdzenie"),
                                     QStringLiteral("?"), QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::Yes);
        // A second box would now really appear; answer it from a timer as a user would.
        QTimer::singleShot(50, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(AppMessageBox::Show(nullptr, QMessageBox::Question, QStringLiteral("Potwierdzenie"),
                                     QStringLiteral("?"), QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::No);
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
    }

    void ButtonsSpeakPolishWhateverTheDesktopLanguage()
    {
        QStringList captions;
        QTimer::singleShot(50, [&captions] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* button : box->buttons())
                captions << button->text().remove(u'&');
            box->done(QMessageBox::Cancel);
        });
        AppMessageBox::Show(nullptr, QMessageBox::Question, QStringLiteral("Potwierdzenie"), QStringLiteral("?"),
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
        captions.sort();
        QCOMPARE(captions, QStringList({QStringLiteral("Anuluj"), QStringLiteral("Nie"), QStringLiteral("OK"),
                                        QStringLiteral("Tak")}));
    }

    // Qt's style has its message-box pictures at 32 pixels only; a screen scaled by two showed them
    // blurred. The picture must have the box's own pixel ratio (run at scale 2 as well).
    void IconIsDrawnForTheScreensPixelRatio()
    {
        UseWindowFontInQtsOwnWindows();  // as the program runs, for the pictures
        for (const QMessageBox::Icon icon : {QMessageBox::Question, QMessageBox::Warning, QMessageBox::Critical}) {
            QPixmap shown;
            qreal ratio = 0;
            QTimer::singleShot(50, [&shown, &ratio, icon] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
                    shown = label->pixmap();
                ratio = box->devicePixelRatio();
                QVERIFY(box->grab().save(QDir::current().filePath(
                    QStringLiteral("message_box_%1_x%2.png").arg(static_cast<int>(icon)).arg(ratio))));
                box->done(QMessageBox::No);
            });
            AppMessageBox::Show(nullptr, icon, QStringLiteral("Potwierdzenie"),
                                QStringLiteral("Czy rzeczywiście chcesz usunąć wszystkie wpisy?"),
                                QMessageBox::Yes | QMessageBox::No);
            QVERIFY(ratio > 0);
            if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
                QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
            QVERIFY(!shown.isNull());
            QCOMPARE(shown.devicePixelRatio(), ratio);
            QCOMPARE(shown.deviceIndependentSize(), QSizeF(32, 32));
        }
    }

    void QtsOwnDialogsAndMenusSpeakPolish()
    {
        if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_pl.qm")))
            QSKIP("Qt's Polish translation is not installed (qt6-translations-l10n)");
        QVERIFY(InstallQtPolishTranslation());
        QColorDialog chooser;
        chooser.setOption(QColorDialog::DontUseNativeDialog);
        QStringList captions;
        for (const QAbstractButton* button : chooser.findChildren<QAbstractButton*>())
            captions << button->text().remove(u'&');
        QVERIFY2(captions.contains(QStringLiteral("Anuluj")), qPrintable(captions.join(u'|')));
        QVERIFY2(!captions.contains(QStringLiteral("Cancel")), qPrintable(captions.join(u'|')));

        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList actions;
        for (const QAction* action : menu->actions())
            actions << action->text().remove(u'&').section(u'\t', 0, 0);
        QVERIFY2(!actions.contains(QStringLiteral("Paste")), qPrintable(actions.join(u'|')));
        QVERIFY2(actions.contains(QStringLiteral("Wklej")), qPrintable(actions.join(u'|')));
    }
};

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    ShowErrorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "show_error_test.moc"
