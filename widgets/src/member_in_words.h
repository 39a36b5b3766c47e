#pragma once

#include "channel_list/standing.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace tavrin::detail {

// A member as a screen reader speaks it and a tooltip shows it, from the
// name, standing, keyword and ping (none without UDP): "Zorv, operator,
// ping 47", "Zorv, STAR, no UDP", or "Zorv, STAR, no ping" for a negative
// ping. A product code is spoken as the code itself.
QString memberInWords(const QString& name, Standing standing, const QString& keyword,
                      std::optional<qint64> ping);

// How many are in the channel, counting operators among the members:
// "3 operators, 1,204 members", "1 member" or "No members".
QString membersHereInWords(int members, int operators, const QLocale& locale);

// A rank's heading, its words and how many it holds: "Operators — 7".
QString rankHeadingInWords(Rank rank, int members, const QLocale& locale);
// The same as a screen reader speaks it: "Operators, heading, 7 members, folded".
QString rankHeadingSpoken(Rank rank, int members, bool folded, const QLocale& locale);
// The name of a heading whose fold and role a screen reader is told apart:
// "Operators, 7 members".
QString rankHeadingName(Rank rank, int members, const QLocale& locale);

// How many members a search shows: "12 of 1,204 members shown".
QString membersShownInWords(int shown, int members, const QLocale& locale);

} // namespace tavrin::detail
