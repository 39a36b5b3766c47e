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

} // namespace tavrin::detail
