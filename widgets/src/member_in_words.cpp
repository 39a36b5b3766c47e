#include "member_in_words.h"

#include "channel_list/standing.h"

#include <QCoreApplication>
#include <QStringList>

namespace tavrin::detail {
namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("MemberInWords", text);
}

// The plain word for a standing, such as "operator" for "OP".
QString keywordInWords(Standing standing, const QString& keyword) {
    switch (standing) {
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
    return keyword;
}

QString rankInWords(Rank rank) {
    switch (rank) {
    case Rank::blizzardRepresentative:
        return translated("Blizzard representatives");
    case Rank::systemOperator:
        return translated("System operators");
    case Rank::channelOperator:
        return translated("Operators");
    case Rank::speaker:
        return translated("Speakers");
    case Rank::gfOfficial:
        return translated("GF officials");
    case Rank::gfPlayer:
        return translated("GF players");
    case Rank::member:
        break;
    case Rank::guest:
        return translated("Guests");
    case Rank::squelched:
        return translated("Squelched");
    }
    return translated("Members");
}

QString membersInWords(int members, const QLocale& locale) {
    return members == 1 ? translated("1 member") : translated("%1 members").arg(locale.toString(members));
}

} // namespace

QString rankHeadingInWords(Rank rank, int members, const QLocale& locale) {
    return rankInWords(rank) + QStringLiteral(" \u2014 ") + locale.toString(members);
}

QString rankHeadingName(Rank rank, int members, const QLocale& locale) {
    return rankInWords(rank) + QLatin1String(", ") + membersInWords(members, locale);
}

QString rankHeadingSpoken(Rank rank, int members, bool folded, const QLocale& locale) {
    return QStringList{rankInWords(rank), translated("heading"), membersInWords(members, locale),
                       folded ? translated("folded") : translated("unfolded")}
        .join(QLatin1String(", "));
}

QString memberInWords(const QString& name, Standing standing, const QString& keyword,
                      std::optional<qint64> ping) {
    QStringList words{name.isEmpty() ? translated("unnamed member") : name};
    if (!keyword.isEmpty()) {
        words << keywordInWords(standing, keyword);
    }
    // A negative ping tells nothing of the connection, as its crossed-out
    // meter shows.
    words << (!ping       ? translated("no UDP")
              : *ping < 0 ? translated("no ping")
                          : translated("ping %1").arg(*ping));
    return words.join(QLatin1String(", "));
}

QString membersHereInWords(int members, int operators, const QLocale& locale) {
    if (members == 0) {
        return translated("No members");
    }
    QString memberWords = membersInWords(members, locale);
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

} // namespace tavrin::detail
