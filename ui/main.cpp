#include "frm_tavrin_test.h"
#include "list_window_reference.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("TavrinTest");
    QApplication::setApplicationVersion("1.00");

    ListWindowReference listWindow;
    frmTavrinTest testWindow(listWindow);
    testWindow.show();
    return QApplication::exec();
}
