#include "type_ahead.h"

#include <QApplication>

namespace tavrin::detail {

std::chrono::milliseconds TypeAhead::pause() const {
    return pause_.value_or(std::chrono::milliseconds(QApplication::keyboardInputInterval()));
}

TypeAhead::Search TypeAhead::typed(const QString& keys) {
    const bool continues = sinceLastKey_.isValid() && sinceLastKey_.elapsed() < pause().count();
    typed_ = continues ? typed_ + keys : keys;
    sinceLastKey_.start();
    const bool sameLetterAgain = typed_.size() > 1 && typed_.count(typed_.back()) == typed_.size();
    return {sameLetterAgain ? typed_.right(1) : typed_, !continues || sameLetterAgain};
}

QModelIndex TypeAhead::rowFor(const QString& keys, const QModelIndex& current, const QModelIndex& first,
                              int role) {
    const int rows = first.isValid() ? first.model()->rowCount(first.parent()) : 0;
    if (keys.isEmpty() || rows == 0) {
        return {};
    }
    const Search wanted = typed(keys);
    int start = current.isValid() ? current.row() : 0;
    if (current.isValid() && wanted.fromNextRow) {
        start = (start + 1) % rows;
    }
    const auto found = first.model()->match(first.siblingAtRow(start), role, wanted.text, 1,
                                            Qt::MatchStartsWith | Qt::MatchWrap);
    return found.value(0);
}

} // namespace tavrin::detail
