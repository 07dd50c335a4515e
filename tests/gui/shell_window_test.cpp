// The window Form1 under the offscreen platform: its controls, the report console, the
// status picture, the buttons and a repeat loop stopped by a press during the event pump.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include "form1.h"
#include "layout.h"
#include "rigerror.h"
#include "shell_fixture.h"

using namespace shell_test;

namespace {

struct Control {
    const char *name;
    const char *kind;
    const char *caption;
    int left, top, width, height;
};

// In creation order.
const Control controls[] = {
    {"cmdTest1000", "QPushButton", "Do i&t x 1000", 4425, 6270, 1125, 495},
    {"cmdTest100", "QPushButton", "Do it x 1&00", 3075, 6270, 1125, 495},
    {"cmdTenTimes", "QPushButton", "Do it x &10", 1740, 6270, 1125, 495},
    {"PicHidden", "QLabel", nullptr, 12240, 1200, 615, 495},
    {"Command5", "QPushButton", "&About", 7590, 6270, 1125, 495},
    {"Command4", "QPushButton", "&Website", 8940, 6270, 1125, 495},
    {"txtIn", "QLineEdit", "", 600, 2160, 10935, 375},
    {"txtOut", "rig::ReportConsole", nullptr, 120, 2520, 11655, 3615},
    {"Command3", "QPushButton", "&Version", 6255, 6270, 1125, 495},
    {"Out", "rig::StatusPictureWidget", nullptr, 120, 0, 11655, 2055},
    {"cmdOnce", "QPushButton", "&Do it!!", 390, 6270, 1125, 495},
    {"Command1", "QPushButton", "&Exit", 10290, 6270, 1125, 495},
    {"Label1", "QLabel", "&QBF", 120, 2160, 375, 255},
};

QString captionOf(QWidget *widget) {
    if (auto *button = qobject_cast<QPushButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return line->text();
    return QString();
}

void postClick(QWidget *widget) {
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QCoreApplication::postEvent(
        widget, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(
        widget, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier));
}

int paintedPixels(const QImage &image, QRgb *sample = nullptr) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) {
                ++count;
                if (sample && qAlpha(image.pixel(x, y)) == 255)
                    *sample = image.pixel(x, y);
            }
    return count;
}

// The last line that holds text is inside the visible part of the console.
bool lastLineInView(QPlainTextEdit *console) {
    QTextCursor last(console->document()->findBlockByNumber(console->document()->blockCount() - 2));
    const QRect place = console->cursorRect(last);
    return console->viewport()->rect().contains(place);
}

// A window whose exits, boxes and web browser are recorded instead of happening.
struct TestForm {
    rig::Form1 form;
    QList<int> exits;
    QList<QUrl> opened;
    QStringList boxes;
    QList<suite::MessageIcon> icons;

    explicit TestForm(rig::RunController::Pass pass = [](suite::Host &) { return 0; })
        : form(std::move(pass)) {
        form.setTerminator([this](int status) { exits << status; });
        form.setUrlOpener([this](const QUrl &url, std::function<void()>) {
            opened << url;
            return true;
        });
        form.setMessagePresenter(
            [this](const QString &prompt, const QString &, suite::MessageIcon icon) {
                boxes << prompt;
                icons << icon;
            });
    }
    template <typename T = QWidget>
    T *control(const char *name) {
        return form.findChild<T *>(QLatin1String(name));
    }
};

}  // namespace

class ShellWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH)); }

    void controlsInCreationOrderWithTheirPlaces() {
        TestForm t;
        // The twips are the layout wherever the captions fit them.
        QFont small = t.form.font();
        small.setPointSizeF(6);
        t.form.setFont(small);
        QCOMPARE(t.form.layoutScale(), 1.0);
        const double dpiX = t.form.screen()->logicalDotsPerInchX();
        const double dpiY = t.form.screen()->logicalDotsPerInchY();
        QStringList created;
        for (QObject *child : t.form.children())
            if (child->isWidgetType())
                created << child->objectName();
        QStringList expected;
        for (const Control &c : controls)
            expected << QLatin1String(c.name);
        QCOMPARE(created, expected);

        for (const Control &c : controls) {
            QWidget *widget = t.control(c.name);
            QVERIFY2(widget, c.name);
            QCOMPARE(widget->metaObject()->className(), c.kind);
            if (c.caption)
                QCOMPARE(captionOf(widget), QString::fromLatin1(c.caption));
            const QRect expectedPlace(
                rig::twipsToPixels(c.left, dpiX), rig::twipsToPixels(c.top, dpiY),
                rig::twipsToPixels(c.width, dpiX), rig::twipsToPixels(c.height, dpiY));
            QCOMPARE(widget->geometry(), expectedPlace);
        }
        QCOMPARE(t.form.size(),
                 QSize(rig::twipsToPixels(12000, dpiX), rig::twipsToPixels(6945, dpiY)));
        if (dpiX == 96 && dpiY == 96) {
            QCOMPARE(t.form.size(), QSize(800, 463));
            QCOMPARE(t.control("txtOut")->geometry(), QRect(8, 168, 777, 241));
        }
    }

    void tabOrder() {
        TestForm t;
        t.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.form));
        QApplication::setActiveWindow(&t.form);
        QStringList visited = {QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        // Reading order, the status picture last; the label and the hidden picture take no
        // focus; the order wraps round.
        QCOMPARE(visited, QStringList({"txtIn", "txtOut", "cmdOnce", "cmdTenTimes", "cmdTest100",
                                       "cmdTest1000", "Command3", "Command5", "Command4",
                                       "Command1", "Out", "txtIn"}));
    }

    void focusedButtonIsMarkedAndPressedByReturnEnterAndSpace() {
        int passes = 0;
        TestForm t([&](suite::Host &) { return ++passes, 0; });
        t.form.show();
        QApplication::setActiveWindow(&t.form);
        QVERIFY(QTest::qWaitForWindowActive(&t.form));
        QCOMPARE(QApplication::focusWidget(), t.control("txtIn"));

        // Pixels in the four-pixel margin round `control` that stand out from the background.
        const auto markPixels = [&](const char *name) {
            const QImage shot = t.form.grab().toImage();
            const QRect inner = t.control(name)->geometry();
            const QRect outer = inner.adjusted(-4, -4, 4, 4);
            int count = 0;
            for (int y = outer.top(); y <= outer.bottom(); ++y)
                for (int x = outer.left(); x <= outer.right(); ++x)
                    if (!inner.contains(x, y) && qAbs(qGray(shot.pixel(x, y)) - 64) > 100)
                        ++count;
            return count;
        };
        const QRect once = t.control("cmdOnce")->geometry();
        const int loop = 2 * (once.width() + once.height());
        QCOMPARE(markPixels("cmdOnce"), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), t.control("cmdOnce"));
        QVERIFY(markPixels("cmdOnce") >= loop);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(passes, 3);
    }

    void everyControlHasItsOwnAltKeyAndEscapeStopsALoop() {
        QStringList pressed;  // the run button captioned "Testing..." in each pass
        TestForm *form = nullptr;
        TestForm t([&](suite::Host &) {
            for (const char *name : {"cmdOnce", "cmdTenTimes", "cmdTest100", "cmdTest1000"})
                if (form->control<QPushButton>(name)->text() == rig::TESTING_CAPTION)
                    pressed << QLatin1String(name);
            // Escape in a loop's first pass: that pass is its last.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            return 0;
        });
        form = &t;
        t.form.show();
        QApplication::setActiveWindow(&t.form);
        QVERIFY(QTest::qWaitForWindowActive(&t.form));
        const auto alt = [&](Qt::Key key) { QTest::keyClick(&t.form, key, Qt::AltModifier); };

        // A button's Alt key presses it a moment later, as a click would.
        for (Qt::Key key : {Qt::Key_D, Qt::Key_1, Qt::Key_0, Qt::Key_T}) {
            const qsizetype before = pressed.size();
            alt(key);
            QTRY_COMPARE(pressed.size(), before + 1);
        }
        QCOMPARE(pressed, QStringList({"cmdOnce", "cmdTenTimes", "cmdTest100", "cmdTest1000"}));
        QCOMPARE(t.form.reportConsole()->report().count("Finished: 1 loops took "), 3);

        for (auto [key, name] :
             {std::pair{Qt::Key_R, "txtOut"}, {Qt::Key_S, "Out"}, {Qt::Key_Q, "txtIn"}}) {
            alt(key);
            QCOMPARE(QApplication::focusWidget(), t.control(name));
        }
        t.control<QLineEdit>("txtIn")->setText(QStringLiteral("edited"));
        alt(Qt::Key_V);
        QTRY_COMPARE(t.control<QLineEdit>("txtIn")->text(),
                     QStringLiteral("The quick brown fox jumped uber the lazy dog"));
        alt(Qt::Key_A);
        QTRY_COMPARE(t.form.statusPicture()->picture().size(), QSize(350, 129));
        alt(Qt::Key_W);
        QTRY_COMPARE(t.opened.size(), 1);
        alt(Qt::Key_E);
        QTRY_COMPARE(t.exits, QList<int>{0});
    }

    void windowLooks() {
        TestForm t;
        QCOMPARE(t.form.windowTitle(), QStringLiteral("Zentrak DLL Testbed - (qorlib145.dl)"));
        QCOMPARE(t.form.palette().color(QPalette::Window), QColor(64, 64, 64));
        QVERIFY(t.form.autoFillBackground());
        QVERIFY(!t.form.windowIcon().isNull());
        auto *picture = t.control<QLabel>("PicHidden");
        QVERIFY(picture->isHidden());
        QCOMPARE(picture->pixmap().size(), QSize(350, 129));
        QVERIFY(picture->x() >= t.form.width());
        // Centred on the screen.
        const QPoint centre = t.form.screen()->availableGeometry().center();
        QVERIFY(qAbs(t.form.geometry().center().x() - centre.x()) <= 1);
        QVERIFY(qAbs(t.form.geometry().center().y() - centre.y()) <= 1);
    }

    void reportConsoleSettings() {
        TestForm t;
        auto *out = t.control<QPlainTextEdit>("txtOut");
        QVERIFY(out->isReadOnly());
        QVERIFY(out->textInteractionFlags() & Qt::TextSelectableByMouse);
        QVERIFY(out->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QCOMPARE(out->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(out->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(out->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(out->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(out->palette().color(QPalette::Text), QColor(Qt::white));
        QCOMPARE(out->font().pointSizeF(), 8.25 * t.form.layoutScale());
        QVERIFY(QFontInfo(out->font()).fixedPitch());
        if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans Mono")))
            QCOMPARE(QFontInfo(out->font()).family(), QStringLiteral("DejaVu Sans Mono"));

        auto *status = t.form.statusPicture();
        QCOMPARE(status->printFont().pointSizeF(), 9.75);
        QVERIFY(!status->printFont().bold());
        if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans"))) {
            QCOMPARE(status->printFont().family(), QStringLiteral("Liberation Sans"));
            status->setFontName(QStringLiteral("Arial"));
            QCOMPARE(status->printFont().family(), QStringLiteral("Liberation Sans"));
        }
    }

    void printf_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("shown");
        QTest::newRow("whole lines") << QStringList{"one", "two"} << "one\r\ntwo\r\n"
                                     << "one\ntwo\n";
        QTest::newRow("semicolon joins") << QStringList{"Label=;", "value"} << "Label=value\r\n"
                                         << "Label=value\n";
        QTest::newRow("two semicolons keep one") << QStringList{"a;;", "b"} << "a;b\r\n"
                                                 << "a;b\n";
        QTest::newRow("semicolon alone appends nothing")
            << QStringList{"x", ";", "y"} << "x\r\ny\r\n"
            << "x\ny\n";
        QTest::newRow("empty text is an empty line") << QStringList{"", "z"} << "\r\nz\r\n"
                                                     << "\nz\n";
        QTest::newRow("NUL cuts the piece and its break")
            << QStringList{QString::fromUtf16(u"ab\0cd", 5), "next"} << "abnext\r\n"
            << "abnext\n";
        QTest::newRow("CR LF inside") << QStringList{"first\r\nsecond"} << "first\r\nsecond\r\n"
                                      << "first\nsecond\n";
        QTest::newRow("semicolon only at the end counts")
            << QStringList{"a;b", "c"} << "a;b\r\nc\r\n"
            << "a;b\nc\n";
        QTest::newRow("CR then LF from two pieces")
            << QStringList{"up\r;", "\nto"} << "up\r\nto\r\n"
            << "up\nto\n";
    }
    void printf() {
        QFETCH(QStringList, texts);
        QFETCH(QString, report);
        QFETCH(QString, shown);
        for (bool hidden : {false, true}) {
            TestForm t;
            t.form.show();
            t.form.setReportVisible(!hidden);
            for (const QString &text : texts)
                t.form.Printf(text);
            t.form.setReportVisible(true);
            QCOMPARE(t.form.reportConsole()->report(), report);
            QCOMPARE(t.form.reportConsole()->toPlainText(), shown);
        }
    }

    void hiddenReportIsShownInOneGoAndScrolledToTheEnd() {
        TestForm t;
        t.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.form));
        auto *console = t.form.reportConsole();
        t.form.setReportVisible(false);
        t.form.clearReport();
        for (int i = 0; i < 2000; ++i)
            t.form.Printf(QStringLiteral("line %1").arg(i));
        QCOMPARE(console->document()->blockCount(), 1);  // nothing laid out while hidden
        t.form.setReportVisible(true);
        QCOMPARE(console->document()->blockCount(), 2001);
        QCoreApplication::processEvents();
        QVERIFY(console->verticalScrollBar()->value() > 0);
        QCOMPARE(console->textCursor().position(), console->document()->characterCount() - 1);
        QVERIFY(lastLineInView(console));

        // Appending while shown keeps the last line in view.
        t.form.Printf(QStringLiteral("one more"));
        QCoreApplication::processEvents();
        QVERIFY(lastLineInView(console));

        t.form.clearReport();
        QVERIFY(console->report().isEmpty());
        QVERIFY(console->toPlainText().isEmpty());
    }

    void consoleColours_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("0 black") << 0 << QColor(0, 0, 0);
        QTest::newRow("4 maroon") << 4 << QColor(128, 0, 0);
        QTest::newRow("5 magenta") << 5 << QColor(128, 0, 128);
        QTest::newRow("7 silver") << 7 << QColor(192, 192, 192);
        QTest::newRow("9 light blue") << 9 << QColor(0, 0, 255);
        QTest::newRow("12 light red") << 12 << QColor(255, 0, 0);
        QTest::newRow("15 white") << 15 << QColor(255, 255, 255);
    }
    void consoleColours() {
        QFETCH(int, number);
        QFETCH(QColor, colour);
        QCOMPARE(rig::consoleColor(number), colour);
    }

    void consoleColourOutOfRange() {
        for (int number : {-1, 16, 255}) {
            try {
                rig::consoleColor(number);
                QFAIL("accepted");
            } catch (const rt::RigError &error) {
                QCOMPARE(error.number(), 5);
            }
        }
    }

    void statusPicturePrintsLinesAndClears() {
        TestForm t;
        auto *out = t.form.statusPicture();
        out->setColor(12);
        out->setBold(true);
        out->setFontSize(14);
        out->print({QStringLiteral("Wrong"), QStringLiteral(" version")});
        const int lineHeight = out->printPosition().y();
        QVERIFY(lineHeight > 10);
        QCOMPARE(out->printPosition().x(), 0);

        QRgb sample = 0;
        QVERIFY(paintedPixels(out->drawing(), &sample) > 50);
        QCOMPARE(QColor(sample), QColor(255, 0, 0));
        // Nothing below the first line yet.
        QCOMPARE(paintedPixels(
                     out->drawing().copy(0, lineHeight, out->width(), out->height() - lineHeight)),
                 0);

        out->setFontSize(10);
        out->setColor(0);
        out->print({QString(400, u'W')});  // runs past the right edge and is cut there
        QVERIFY(out->printPosition().y() > lineHeight);
        QVERIFY(out->printPosition().y() < 2 * lineHeight);
        QVERIFY(paintedPixels(out->drawing().copy(out->width() - 20, lineHeight, 20, 10)) > 0);

        out->print({});  // an empty print only moves to the next line
        const int afterEmpty = out->printPosition().y();
        QVERIFY(afterEmpty > 2 * lineHeight * 10 / 14 - 1);

        out->clear();
        QCOMPARE(paintedPixels(out->drawing()), 0);
        QCOMPARE(out->printPosition(), QPoint(0, 0));
    }

    void aboutShowsThePictureAndClicksOpenTheSite() {
        TestForm t;
        t.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.form));
        const QUrl site(QStringLiteral("https://qorlib145.example/download"));

        QTest::mouseClick(t.control("Command4"), Qt::LeftButton);
        QCOMPARE(t.opened, QList<QUrl>{site});
        QTest::mouseClick(t.control("Out"), Qt::LeftButton);
        QCOMPARE(t.opened.size(), 2);
        QCOMPARE(t.opened.last(), site);

        // The picture replaces the lines already printed, also those beside it.
        auto *out = t.form.statusPicture();
        out->setFontSize(14);
        out->print({QString(80, u'W')});
        out->print({QString(80, u'W')});
        QTest::mouseClick(t.control("Command5"), Qt::LeftButton);
        QCOMPARE(out->picture().size(), QSize(350, 129));
        QCOMPARE(paintedPixels(out->drawing()), 0);
        QCOMPARE(out->printPosition(), QPoint(0, 0));
        const QImage about = t.control<QLabel>("PicHidden")
                                 ->pixmap()
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        QCoreApplication::processEvents();
        const QImage shown = out->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.copy(0, 0, 350, 129), about);
        const QColor background = rig::StatusPictureWidget::backgroundColour();
        for (int x = 350; x < shown.width(); x += 7)
            QCOMPARE(QColor(shown.pixel(x, 20)), background);
        // A click on the picture still opens the site while the About picture shows.
        QTest::mouseClick(out, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(t.opened.size(), 3);

        // It stays until the next check.
        QCOMPARE(out->picture().size(), QSize(350, 129));
        QTest::mouseClick(t.control("Command3"), Qt::LeftButton);
        QVERIFY(out->picture().isNull());
        QVERIFY(paintedPixels(out->drawing()) > 0);
        QVERIFY(t.exits.isEmpty());
    }

    void websiteWithoutABrowserSaysSoWithTheAddress() {
        TestForm t;
        std::function<void()> failedLater;
        bool started = false;
        t.form.setUrlOpener([&](const QUrl &, std::function<void()> later) {
            failedLater = later;
            return started;
        });
        QTest::mouseClick(t.control("Command4"), Qt::LeftButton);
        started = true;
        QTest::mouseClick(t.control("Out"), Qt::LeftButton);
        QCOMPARE(t.boxes.size(), 1);  // a browser that starts is left to do its work
        failedLater();                // and one that fails once started is reported too
        QCOMPARE(t.boxes, QStringList(2,
                                      "No web browser could be started to open the library's "
                                      "download site. Its address is:\r\n\r\n"
                                      "https://qorlib145.example/download"));
    }

    // A library lacking almost everything: few boxes, and none at all after the user chose
    // to go on without them; the report keeps every error line, the status picture counts
    // them, and the next run asks again.
    void errorBoxesARunCanGetThrough() {
        UseLibrary library(fake("bare"));
        TestForm t([](suite::Host &host) { return suite::RunAllTests(host); });
        int boxes = 0;
        int quietAt = 0;  // the box at which the user goes on without boxes; 0: never
        t.form.setErrorBoxPresenter([&](const QString &) { return ++boxes == quietAt; });
        QList<int> boxesPerRun, errorLines;
        for (int wanted : {0, 3, 0}) {
            boxes = 0;
            quietAt = wanted;
            QTest::mouseClick(t.control("cmdOnce"), Qt::LeftButton);
            boxesPerRun << boxes;
            errorLines << int(t.form.reportConsole()->report().count(QStringLiteral("\r\nError ")));
            QVERIFY2(t.form.statusPicture()->text().endsWith(
                         QStringLiteral("\nThis run had %1 errors; the report lists every one")
                             .arg(errorLines.last())),
                     qPrintable(t.form.statusPicture()->text()));
        }
        QVERIFY2(errorLines[0] > 50000, qPrintable(QString::number(errorLines[0])));
        QCOMPARE(errorLines, QList<int>(3, errorLines[0]));
        QVERIFY2(boxesPerRun[0] < 200, qPrintable(QString::number(boxesPerRun[0])));
        QCOMPARE(boxesPerRun, QList<int>({boxesPerRun[0], 3, boxesPerRun[0]}));
    }

    void exitEndsTheProgramAtOnce() {
        TestForm t;
        t.form.show();
        QTest::mouseClick(t.control("Command1"), Qt::LeftButton);
        QCOMPARE(t.exits, QList<int>{0});
    }

    void loadChecksTheLibrary_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("current") << QByteArray("125") << true;
        QTest::newRow("older") << QByteArray("124") << false;
    }
    void loadChecksTheLibrary() {
        QFETCH(QByteArray, version);
        QFETCH(bool, enabled);
        ScopedEnv env("FAKE_LIBVERSION", version);
        UseLibrary library(fake("version"));
        RecordingEventLog log;
        TestForm t;
        t.form.Form_Load();
        QCOMPARE(t.form.windowTitle(),
                 QStringLiteral("Zentrak DLL Testbed - (qorlib145.dl) v1.25"));
        QCOMPARE(t.control<QLineEdit>("txtIn")->text(),
                 QStringLiteral("The quick brown fox jumped uber the lazy dog"));
        for (const char *name : {"cmdOnce", "cmdTenTimes", "cmdTest100", "cmdTest1000"})
            QCOMPARE(t.control(name)->isEnabled(), enabled);
        for (const char *name : {"Command1", "Command3", "Command4", "Command5"})
            QVERIFY(t.control(name)->isEnabled());
        QVERIFY(paintedPixels(t.form.statusPicture()->drawing()) > 0);
        QVERIFY(t.exits.isEmpty());

        // Version checks again and puts the sample sentence back.
        t.control<QLineEdit>("txtIn")->setText(QStringLiteral("changed"));
        QTest::mouseClick(t.control("Command3"), Qt::LeftButton);
        QCOMPARE(t.control<QLineEdit>("txtIn")->text(),
                 QStringLiteral("The quick brown fox jumped uber the lazy dog"));
    }

    void loadWithoutLibraryShowsTheBoxThenEnds() {
        UseLibrary library(QStringLiteral("/nonexistent/libqorlib145.so"));
        RecordingEventLog log;
        TestForm t;
        t.form.setTerminator([&](int status) {
            QCOMPARE(t.boxes.size(), 1);  // the box was closed before the end
            t.exits << status;
        });
        t.form.Form_Load();
        QCOMPARE(t.exits, QList<int>{2});
        QCOMPARE(t.icons, QList<suite::MessageIcon>{suite::MessageIcon::Critical});
        QVERIFY(t.boxes[0].startsWith("Can't find /nonexistent/libqorlib145.so\r\n"));
        QCOMPARE(log.entries.size(), 1);
    }

    void pressDuringTheEventPumpStopsTheLoop() {
        UseLibrary library(fake("bare"));
        int passes = 0;
        QStringList duringRun;
        TestForm *form = nullptr;
        TestForm t([&](suite::Host &host) {
            ++passes;
            const int errors = suite::RunAllTests(host);
            duringRun << QString::number(form->control("cmdOnce")->isEnabled()) +
                             QString::number(form->control("cmdTest100")->isEnabled()) +
                             QString::number(form->control("cmdTest1000")->isEnabled()) +
                             form->control<QPushButton>("cmdTenTimes")->text();
            // Pressed while the second pass is busy: delivered by the third pass's pump.
            if (passes == 2)
                postClick(form->control("cmdTenTimes"));
            return errors;
        });
        form = &t;
        t.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.form));

        QTest::mouseClick(t.control("cmdTenTimes"), Qt::LeftButton);

        QCOMPARE(passes, 3);
        QCOMPARE(duringRun, QStringList(3, QStringLiteral("000Testing...")));
        QVERIFY(!t.form.runs().running());
        const QString report = t.form.reportConsole()->report();
        static const QRegularExpression total(
            QStringLiteral("second\\(s\\)\r\nFinished: 3 loops took [0-9.E+-]+ seconds\r\n\r\n$"));
        QVERIFY2(total.match(report).hasMatch(), qPrintable(report.right(200)));
        QVERIFY(t.form.windowTitle().contains(" - Loop 3 of 10 (process ID:0) - 0 Kb used"));
        QCOMPARE(t.control<QPushButton>("cmdTenTimes")->text(), rig::TEN_CAPTION);
        for (const char *name : {"cmdOnce", "cmdTest100", "cmdTest1000"})
            QVERIFY(t.control(name)->isEnabled());
        // Each failed step of each pass showed its box.
        QVERIFY(t.boxes.size() >= 3);
    }

    void versionDuringARunLeavesTheRunButtonsToTheRun() {
        ScopedEnv version("FAKE_LIBVERSION", "125");
        UseLibrary library(fake("version"));
        int passes = 0;
        QStringList enabled;  // cmdOnce, cmdTenTimes, cmdTest1000 after each pass's pump
        TestForm *form = nullptr;
        TestForm t([&](suite::Host &host) {
            ++passes;
            // Presses made during the pass, delivered by its pump.
            if (passes == 1 || passes == 11) {
                postClick(form->control("Command3"));
            } else if (passes == 2) {
                postClick(form->control("cmdTenTimes"));
            } else if (passes == 3) {
                qputenv("FAKE_LIBVERSION", "124");  // the check now finds the wrong version
                postClick(form->control("Command3"));
            } else if (passes == 4) {
                postClick(form->control("cmdTest100"));
            }
            host.repaintAndPumpEvents();
            enabled << QString::number(form->control("cmdOnce")->isEnabled()) +
                           QString::number(form->control("cmdTenTimes")->isEnabled()) +
                           QString::number(form->control("cmdTest1000")->isEnabled());
            return 0;
        });
        form = &t;
        t.form.Form_Load();
        t.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.form));

        QTest::mouseClick(t.control("cmdTest100"), Qt::LeftButton);
        QCOMPARE(enabled, QStringList(4, QStringLiteral("000")));
        QVERIFY(t.form.reportConsole()->report().contains("Finished: 4 loops took "));
        // The loop over, the buttons follow the last check: the wrong version.
        for (const char *name : {"cmdOnce", "cmdTenTimes", "cmdTest100", "cmdTest1000"})
            QVERIFY2(!t.control(name)->isEnabled(), name);

        // A single run likewise keeps its buttons; the check gives them back when it ends.
        qputenv("FAKE_LIBVERSION", "125");
        QTest::mouseClick(t.control("Command3"), Qt::LeftButton);
        enabled.clear();
        passes = 10;
        QTest::mouseClick(t.control("cmdOnce"), Qt::LeftButton);
        QCOMPARE(enabled, QStringList{"100"});
        for (const char *name : {"cmdOnce", "cmdTenTimes", "cmdTest100", "cmdTest1000"})
            QVERIFY2(t.control(name)->isEnabled(), name);
    }

    void pressWhileAnErrorBoxIsOpenStopsTheLoop() {
        UseLibrary library(fake("bare"));
        int passes = 0;
        TestForm t([&](suite::Host &host) {
            ++passes;
            return suite::RunAllTests(host);
        });
        bool pressed = false;
        t.form.setMessagePresenter([&](const QString &, const QString &, suite::MessageIcon) {
            // An open box delivers the window's events.
            if (!pressed) {
                pressed = true;
                postClick(t.control("cmdTest100"));
            }
            QCoreApplication::processEvents();
        });
        t.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.form));
        QTest::mouseClick(t.control("cmdTest100"), Qt::LeftButton);
        QCOMPARE(passes, 1);
        QVERIFY(t.form.reportConsole()->report().contains("Finished: 1 loops took "));
    }

    void closingDuringARunEndsTheProgram() {
        TestForm *form = nullptr;
        TestForm t([&](suite::Host &) {
            form->form.close();
            return 0;
        });
        form = &t;
        t.form.show();
        QTest::mouseClick(t.control("cmdOnce"), Qt::LeftButton);
        QCOMPARE(t.exits, QList<int>{0});
        // Closed while idle, the window just closes.
        TestForm idle;
        idle.form.show();
        idle.form.close();
        QVERIFY(idle.exits.isEmpty());
    }
};

QTEST_MAIN(ShellWindowTest)
#include "shell_window_test.moc"
