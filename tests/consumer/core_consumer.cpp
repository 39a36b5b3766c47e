#include <channel_list/tavrin.h>

#include <iostream>

int main() {
    tavrin::ChanSaveList list;
    tavrin::TavrinAdd(list, u"Zorv", u"RATS", 0x10, 47);
    tavrin::TavrinAdd(list, u"Druvo", u"PX3W", 0, 12);
    tavrin::TavrinDel(list, u"ZORV");
    std::cout << list.count() << " member(s)\n";
    return list.count() == 1 && list.text(1) == u"[ICON]OP[/ICON][USER]Druvo[/USER][PING]12[/PING]" ? 0 : 1;
}
