#include "tavrin_widgets/member_in_words.h"

#include "channel_list/entry_text.h"
#include "utf16_text.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("MemberInWords", text);
}

} // namespace

QString keywordInWords(std::u16string_view keyword) {
    using tavrin::Standing;
    switch (tavrin::standingOf(keyword)) {
    case Standing::channelOperator:
        return translated("operator");
    case Standing::blizzardRepresentative:
        return translated("Blizzard representative");
    case Standing::systemOperator:
        return translated("system operator");
    case Standing::speaker:
        return translated("speaker");
    case Standing::guest:
        return translated("guest");
    case Standing::squelched:
        return translated("squelched");
    case Standing::gfOfficial:
        return translated("GF official");
    case Standing::gfPlayer:
        return translated("GF player");
    case Standing::none:
    case Standing::product:
        break;
    }
    return toQString(keyword);
}

QString memberInWords(std::u16string_view entryText) {
    const auto fields = tavrin::entryFields(entryText);
    QStringList words{fields.name.empty() ? translated("unnamed member") : toQString(fields.name)};
    if (!fields.keyword.empty()) {
        words << keywordInWords(fields.keyword);
    }
    if (tavrin::readPing(fields.pingField).noUdp) {
        words << translated("no UDP");
    } else if (!fields.pingField.empty()) {
        words << translated("ping %1").arg(toQString(fields.pingField));
    }
    return words.join(QLatin1String(", "));
}

QString membersHereInWords(int members, int operators, const QLocale& locale) {
    if (members == 0) {
        return translated("No members");
    }
    QString memberWords =
        members == 1 ? translated("1 member") : translated("%1 members").arg(locale.toString(members));
    if (operators == 0) {
        return memberWords;
    }
    const QString operatorWords = operators == 1 ? translated("1 operator")
                                                 : translated("%1 operators").arg(locale.toString(operators));
    return operatorWords + QLatin1String(", ") + memberWords;
}

QString membersShownInWords(int shown, int members, const QLocale& locale) {
    if (members == 1) {
        return translated("%1 of 1 member shown").arg(locale.toString(shown));
    }
    return translated("%1 of %2 members shown").arg(locale.toString(shown), locale.toString(members));
}
