// The window on small and scaled screens: it opens whole on the screen, at the layout's own size,
// and every control can be scrolled into view. The suite runs it on several offscreen screens.
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>

#include "editor_fixture.h"
#include "ui/screenfit.h"

class TestScreenFit : public QObject {
    Q_OBJECT
    EditorFixture fx;

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void theSize_data()
    {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QSize>("expected");
        // A client of 900x700 with 60 pixels of bars below and above it, a frame of 8 and 30, scroll bars of 16.
        QTest::newRow("room to spare") << QSize(1920, 1040) << QSize(900, 760);
        QTest::newRow("exactly") << QSize(916, 798) << QSize(900, 760);
        QTest::newRow("too low: scrolls down, a bar wider") << QSize(1366, 728) << QSize(916, 690);
        QTest::newRow("too low, no room for the bar") << QSize(916, 728) << QSize(900, 690);
        QTest::newRow("too narrow: scrolls across, a bar higher") << QSize(800, 1040) << QSize(784, 776);
        QTest::newRow("too small both ways") << QSize(640, 480) << QSize(624, 442);
    }
    void theSize()
    {
        QFETCH(QSize, available);
        QFETCH(QSize, expected);
        QCOMPARE(ui::fittedSize(QSize(900, 700), QSize(0, 60), QMargins(8, 30, 8, 8), available, 16), expected);
    }

    // On the screen of this run (PLINTOR_SCREEN_FITS says whether the window fits it whole).
    void everyControlIsOnTheScreen()
    {
        // Where each control lies in the layout, in a window shown as it is.
        const auto layout = [this] {
            auto* client = fx.w->findChild<QWidget*>(QStringLiteral("client"));
            QList<QRect> rects;
            for (QWidget* control : client->findChildren<QWidget*>())
                rects.append(QRect(control->mapTo(client, QPoint(0, 0)), control->size()));
            return rects;
        };
        QVERIFY(fx.show());
        const QList<QRect> before = layout();
        fx.restart();
        fx.w->layout()->activate(); // as making the platform window does on Windows: the minimum is the whole
        ui::fitToScreen(*fx.w);
        QVERIFY(fx.show());
        auto* client = fx.w->findChild<QWidget*>(QStringLiteral("client"));
        const QList<QWidget*> controls = client->findChildren<QWidget*>();

        const QRect available = fx.w->screen()->availableGeometry();
        QVERIFY2(available.contains(fx.w->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6").arg(fx.w->frameGeometry().x()).arg(fx.w->frameGeometry().y())
                                .arg(fx.w->frameGeometry().width()).arg(fx.w->frameGeometry().height())
                                .arg(available.width()).arg(available.height())));
        auto* scroll = fx.w->findChild<QScrollArea*>(QStringLiteral("clientScroll"));
        const QString fits = qEnvironmentVariable("PLINTOR_SCREEN_FITS");
        if (!fits.isEmpty())
            QCOMPARE(scroll == nullptr, fits == QLatin1String("whole"));
        // The layout stays the layout, at its size.
        QCOMPARE(client->size(), QSize(894, 738));
        QCOMPARE(layout(), before);

        const auto onScreen = [&](QWidget* widget) {
            return available.contains(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
        };
        QVERIFY(onScreen(fx.w->menuBar()));
        QVERIFY(onScreen(fx.w->statusBar()));
        QWidget* seen = scroll ? scroll->viewport() : client;
        QVERIFY(onScreen(seen));
        // Each control the viewport can hold is brought into it whole; the larger ones as far as they go.
        for (QWidget* control : controls) {
            if (!control->isVisibleTo(client) || control->width() > seen->width() || control->height() > seen->height())
                continue;
            if (scroll)
                scroll->ensureWidgetVisible(control, 0, 0);
            const QRect at(control->mapTo(seen, QPoint(0, 0)), control->size());
            QVERIFY2(seen->rect().contains(at), qPrintable(control->objectName()));
        }
        QVERIFY2(fx.cmdAIR()->isVisible(), "On Air");
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
