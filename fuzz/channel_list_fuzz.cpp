// Turns random bytes into add and delete calls with arbitrary UTF-16 names and
// statuses (lone surrogates, tag markers, empty texts, names that differ only
// in case) and checks every step against the plain reference list.

#include "channel_list/tavrin.h"

#include "reference_channel_list.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <set>
#include <string>

namespace {

const std::u16string fragments[] = {
    u"",
    u"Zorv",
    u"zORV",
    u"druvo",
    u"DRUVO",
    u"op ",
    u"[USER]",
    u"[/USER]",
    u"[ICON]",
    u"[/ICON][USER]",
    u"[/USER][PING]",
    u"[PING]",
    u"PLUG",
    u"OP",
    u"PO",
    u"RATS",
    u"\u0130",
    u"\u00C9",
    u"\u00E9",
    u"\U00010400",
    u"\U00010428",
    std::u16string(1, char16_t(0xD800)),
    std::u16string(1, char16_t(0xDC00)),
    u" ",
};

std::u16string text(FuzzedDataProvider& input) {
    std::u16string result;
    const int pieces = input.ConsumeIntegralInRange(0, 4);
    for (int piece = 0; piece < pieces; ++piece) {
        if (input.ConsumeBool()) {
            result += fragments[input.ConsumeIntegralInRange<std::size_t>(0, std::size(fragments) - 1)];
        } else {
            result += static_cast<char16_t>(input.ConsumeIntegral<std::uint16_t>());
        }
    }
    // The same name again in another case.
    if (input.ConsumeBool()) {
        for (auto& unit : result) {
            if (unit >= u'a' && unit <= u'z') {
                unit = static_cast<char16_t>(unit - u'a' + u'A');
            } else if (unit >= u'A' && unit <= u'Z') {
                unit = static_cast<char16_t>(unit - u'A' + u'a');
            }
        }
    }
    return result;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::u16string_view keywordOf(std::u16string_view entry) {
    return entry.substr(6, entry.find(u"[/ICON]") - 6);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    tavrin::ChanSaveList list;
    tavrin::testing::ReferenceChannelList reference;
    std::vector<std::u16string> names;

    while (input.remaining_bytes() > 0) {
        // Often reuse an earlier name, so refreshes and deletes find someone.
        std::u16string name = !names.empty() && input.ConsumeBool()
                                  ? names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)]
                                  : text(input);
        const int operation = input.ConsumeIntegralInRange(0, 15);
        if (operation < 4) {
            tavrin::TavrinDel(list, name);
            reference.del(name);
        } else if (operation == 4) {
            list.clear(); // the chat client changes channel
            reference.clear();
        } else {
            const auto status = text(input);
            const auto Flags = input.ConsumeIntegral<std::int32_t>();
            const auto Ping = input.ConsumeIntegral<std::int32_t>();
            tavrin::TavrinAdd(list, name, status, Flags, Ping);
            reference.add(name, status, Flags, Ping);
            names.push_back(std::move(name));
        }

        const auto texts = tavrin::testing::textsOf(list);
        check(texts == reference.texts());
        check(list.count() <= tavrin::ChanSaveList::maxCount);
        std::set<std::u16string> foldedNames;
        bool operatorsOnly = true;
        for (const auto& entry : texts) {
            check(foldedNames.insert(tavrin::foldName(*tavrin::nameFromEntryText(entry))).second);
            const bool isOperator = keywordOf(entry) == tavrin::operatorKeyword;
            check(!isOperator || operatorsOnly);
            operatorsOnly = operatorsOnly && isOperator;
        }
    }
    return 0;
}
