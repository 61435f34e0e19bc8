#include <cstdio>
#include <memory>

#include <QFileInfo>

#include "ui/EditorApp.h"
#include "ui/EditorApplication.h"
#include "ui/EditorImages.h"
#include "ui/QtUserPort.h"
#include "util/ConsolePort.h"

int main(int argc, char* argv[]) {
    tw::EditorApplication application(argc, argv);
    application.setWindowIcon(tw::ApplicationIcon());
    // The main window's closing ends the run; the loading window closing must not.
    application.setQuitOnLastWindowClosed(false);

    tw::EditorApp::Options options;
    QString error;
    if (!tw::EditorApp::ParseArguments(application.arguments().mid(1), options, error)) {
        std::fprintf(stderr, "trackwright: %s\nusage: trackwright [--game DIR] [--screenshot FILE]\n",
                     error.toLocal8Bit().constData());
        return 2;
    }

    tw::QtUserPort interactivePort;
    // A screenshot run has nobody to answer: its messages go to standard error.
    tw::ConsolePort unattendedPort(interactivePort.ApplicationName());
    const bool unattended = !options.screenshotFile.isEmpty();
    tw::UserPort& port = unattended ? static_cast<tw::UserPort&>(unattendedPort) : interactivePort;
    application.SetPort(&port);

    tw::EditorApp editor(port, options);
    if (!unattended) editor.SetQtPort(&interactivePort);
    const int exitCode = editor.Run();
    application.SetPort(nullptr);  // the ports go before the application does
    if (unattended && exitCode == 0)
        std::fprintf(stderr, "trackwright: screenshot saved to %s\n",
                     QFileInfo(options.screenshotFile).absoluteFilePath().toLocal8Bit().constData());
    return exitCode;
}
