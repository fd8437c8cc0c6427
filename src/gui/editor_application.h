#pragma once

#include <QApplication>
#include <QStringList>
#include <memory>

namespace qe {

class MainWindow;
class FontBook;

// The editor as an application: the settings' organisation, the window's language (Qt's own
// dialogs and buttons with it), the music symbol font, the program's icon, and the main window.
class EditorApplication : public QApplication {
    Q_OBJECT

public:
    EditorApplication(int& argc, char** argv);
    ~EditorApplication() override;

    // Everything but the main window. Returns false when the music symbol font is missing
    // (the editor still runs, but shows no notes).
    bool initPlatform();
    // The platform, then the main window with the files named open (or one new score when
    // none is), shown.
    bool initInstance(const QStringList& files);

    MainWindow* mainFrame() const { return frame_.get(); }
    // What the windows draw with; made by initPlatform.
    FontBook& fonts() const { return *fonts_; }

private:
    // Made once the application is, gone before it; the windows draw with it.
    std::unique_ptr<FontBook> fonts_;
    std::unique_ptr<MainWindow> frame_;
};

// Runs the editor on the files named; returns the exit status.
int runEditor(int& argc, char** argv, const QStringList& files);

}  // namespace qe
