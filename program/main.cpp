#include "list_window_reference.h"
#include "program_version.h"
#include "start_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("TavrinTest");
    QApplication::setApplicationVersion(programVersion);

    ListWindowReference listWindow;
    frmTavrinTest testWindow(listWindow);
    testWindow.show();
    return QApplication::exec();
}
