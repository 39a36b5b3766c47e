#include <tavrin_widgets/chan_save_list_model.h>
#include <tavrin_widgets/frm_tavrin.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    frmTavrin window;
    window.TavrinAdd("Zorv", "RATS", 0x10, 47);
    window.show();
    const QString row = window.model().index(0).data().toString();
    return row == "[ICON]STAR[/ICON][USER]Zorv[/USER][PING]PLUG[/PING]" ? 0 : 1;
}
