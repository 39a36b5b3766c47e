#pragma once

#include "tavrin_widgets/export.h"

#include <QObject>
#include <QStringList>

#include <memory>

class ChanSaveListModel;
class MemberCompleterPrivate;
class MemberPanel;
class QLineEdit;

// Completes members' names in a chat client's input line, as every chat
// client does. Tab completes the word before the cursor to the name of a
// member of the channel that begins with it, compared as the list
// compares names, and adds ": " after a name at the start of the line, " "
// elsewhere. Tab again offers the next name, wrapping round after the last,
// and Shift+Tab the one before; any other key, except a modifier pressed
// alone, takes the name as it stands. With no name to offer, Tab leaves the
// text as it is and the focus where it is.
//
// Names come in this order: the members the client has marked as having
// spoken, the most recent first; then everyone else by rank, then name; the
// client's own name last. Each Tab costs O(log n + k) for k names offered,
// however many members the channel has. Nothing here throws.
class TAVRIN_WIDGETS_EXPORT MemberCompleter : public QObject {
    Q_OBJECT

public:
    // Completes in the input line from the model's members; without an input
    // line, complete() does it for any text field.
    MemberCompleter(ChanSaveListModel* model, QLineEdit* input, QObject* parent = nullptr);
    // The same, from the panel's model.
    MemberCompleter(MemberPanel* members, QLineEdit* input, QObject* parent = nullptr);
    ~MemberCompleter() override;

    // The member spoke just now. A member who leaves loses the mark.
    void noteSpoke(const QString& username);
    // The client's own name, offered last.
    void setOwnName(const QString& name);
    QString ownName() const;

    // The listed names that begin with this text, in the order Tab offers them.
    QStringList completions(const QString& prefix) const;

    // What a Tab does: the text from start, this long, becomes the
    // replacement, and the cursor goes after it.
    struct Completion {
        int start = -1; // -1: nothing to complete, and the text stays
        int length = 0;
        QString replacement;
        bool isValid() const { return start >= 0; }
    };
    // Tab, or Shift+Tab when backwards, in this text with the cursor here.
    // Given the text and cursor that the last completion left, it offers the
    // next name, or the one before; any other text starts afresh.
    Completion complete(const QString& text, int cursorPosition, bool backwards = false);
    // Takes the name as it stands: the next Tab starts afresh. Any key but
    // Tab and Shift+Tab in the input line does this.
    void endCompletion();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<MemberCompleterPrivate> const d;
};
