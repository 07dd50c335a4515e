// What the test suite needs of the window it runs in. The Qt window implements it, and so
// does the headless report program, so one RunAllTests serves both.
#pragma once

#include <QString>
#include <QStringList>

#include "shaped_text.h"

namespace suite {

// The status picture: a drawing surface printed on with a current font, colour and position.
class StatusPicture {
  public:
    virtual ~StatusPicture() = default;
    // One of the 16 console colour numbers (0 black, 5 magenta, 9 light blue, 12 light red).
    virtual void setColor(int consoleColor) = 0;
    virtual void setFontName(const QString &name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;
    // Writes the items one after another from the print position, then moves to the start
    // of the next line. Number items arrive already rendered (rt::statusNumber).
    virtual void print(const QStringList &items) = 0;
    // Erases the drawing and puts the print position at the top left corner.
    virtual void clear() = 0;
    // Sets the background picture to nothing.
    virtual void removePicture() = 0;
    // Keeps the drawing when the window is covered and uncovered.
    virtual void setPersistent(bool persistent) = 0;
};

enum class MessageIcon { Critical, Information };

class Host {
  public:
    virtual ~Host() = default;

    // Appends to the report exactly as printfPiece() (report.h) says.
    virtual void Printf(const QString &text) = 0;
    // Appends text.text() as Printf does. A host that compares reports also keeps which
    // parts of the text vary by nature, and the role of the line.
    virtual void PrintfShaped(const ShapedText &text) { Printf(text.text()); }
    // The run moves on to its next section (the preparation, each section, the closing
    // block), called `name` where it prints no banner. Only a host that reports per
    // section needs to know.
    virtual void beginSection(const QString &name) { (void)name; }
    virtual StatusPicture &status() = 0;
    // A modal message box; returns when the user has closed it (a headless host never waits).
    virtual void messageBox(const QString &prompt, const QString &title, MessageIcon icon) = 0;
    // The run's box for the error `line`. `repeat` says that the statement that raised it has
    // already reported it in this run (it runs in a loop); a window need not ask again. The
    // default shows every one.
    virtual void errorBox(const QString &line, bool repeat);

    // The input box txtIn.
    virtual QString inputText() = 0;
    virtual void setInputText(const QString &text) = 0;
    virtual void repaintInput() = 0;

    // The report console txtOut.
    virtual void setReportVisible(bool visible) = 0;
    virtual void clearReport() = 0;
    virtual void repaintReport() = 0;

    // Repaints the window, then the status picture, then delivers pending window events once.
    virtual void repaintAndPumpEvents() = 0;

    // The window caption.
    virtual QString caption() = 0;
    virtual void setCaption(const QString &caption) = 0;
};

}  // namespace suite
