#include <tavrin_widgets/chan_save_list_model.h>
#include <tavrin_widgets/frm_tavrin.h>
#include <tavrin_widgets/member_completer.h>
#include <tavrin_widgets/member_panel.h>

#include <QApplication>
#include <QSortFilterProxyModel>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    frmTavrin window;
    window.TavrinAdd("Zorv", "RATS", 0x10, 47);
    window.show();
    const QString row = window.model().index(0).data().toString();
    MemberPanel panel;
    panel.TavrinAdd("Zorv", "RATS", 0, 47);
    QSortFilterProxyModel proxy; // as another view of the members
    proxy.setSourceModel(&panel.model());
    const bool proxied = proxy.rowCount() == 1;
    panel.clear();
    return row == "[ICON]STAR[/ICON][USER]Zorv[/USER][PING]PLUG[/PING]" && proxied && panel.count() == 0 ? 0
                                                                                                         : 1;
}
