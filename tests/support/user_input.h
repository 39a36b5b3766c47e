#pragma once

// Drives a window's controls the way a person does.

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

// Replaces what the field holds. Long texts, and characters beyond the test
// keyboard's ASCII keys, are pasted rather than typed.
inline void typeInto(QLineEdit& field, const QString& text) {
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Delete);
    const bool typeable =
        text.size() < 256 && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (typeable) {
        QTest::keyClicks(&field, text);
    } else {
        field.insert(text);
    }
}

inline void clickOn(QPushButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton);
}
