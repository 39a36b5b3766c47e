#pragma once

#include "tavrin_widgets/export.h"

#include <QLocale>
#include <QString>

#include <string_view>

// The plain word for an icon keyword, such as "operator" for "OP". A product
// code is spoken as the code itself.
TAVRIN_WIDGETS_EXPORT QString keywordInWords(std::u16string_view keyword);

// A member as a screen reader speaks it and a tooltip shows it, read from the
// entry text: "Zorv, operator, ping 47", or "Zorv, STAR, no UDP".
TAVRIN_WIDGETS_EXPORT QString memberInWords(std::u16string_view entryText);

// How many are in the channel, counting operators among the members:
// "3 operators, 1,204 members", "1 member" or "No members".
TAVRIN_WIDGETS_EXPORT QString membersHereInWords(int members, int operators, const QLocale& locale);

// How many members a search shows: "12 of 1,204 members shown".
TAVRIN_WIDGETS_EXPORT QString membersShownInWords(int shown, int members, const QLocale& locale);
