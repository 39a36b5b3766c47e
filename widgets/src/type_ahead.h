#pragma once

#include <QElapsedTimer>
#include <QModelIndex>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace tavrin::detail {

// Type-ahead as QAbstractItemView has it: letters typed in quick succession
// are one search, which starts after the current row when it is new; the same
// letter again steps to the next row that starts with it.
class TypeAhead : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // A pause this long ends a search; the desktop's keyboard input interval
    // unless set.
    void setPause(std::chrono::milliseconds pause) { pause_ = pause; }
    std::chrono::milliseconds pause() const;

    struct Search {
        QString text;     // what a row must start with
        bool fromNextRow; // look from the row after the current one
    };
    // What to look for, now that these keys are typed.
    Search typed(const QString& keys);
    // The row these keys lead to among the rows beside the first one, looked
    // for in this role from the current row on and round to the top; none
    // when no row starts so.
    QModelIndex rowFor(const QString& keys, const QModelIndex& current, const QModelIndex& first, int role);

private:
    std::optional<std::chrono::milliseconds> pause_;
    QString typed_;
    QElapsedTimer sinceLastKey_;
};

} // namespace tavrin::detail
