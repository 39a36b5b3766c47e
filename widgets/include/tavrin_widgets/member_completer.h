#pragma once

#include "tavrin_widgets/export.h"

#include <QObject>
#include <QStringList>

#include <memory>

class MemberCompleterPrivate;
class MemberPanel;
class QLineEdit;

// Completes members' names in a chat client's input line, as every chat
// client does. Tab completes the word before the cursor to the name of a
// member of the panel's channel that begins with it, compared as the list
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
    MemberCompleter(MemberPanel* members, QLineEdit* input, QObject* parent = nullptr);
    ~MemberCompleter() override;

    // The member spoke just now. A member who leaves loses the mark.
    void noteSpoke(const QString& username);
    // The client's own name, offered last.
    void setOwnName(const QString& name);
    QString ownName() const;

    // The listed names that begin with this text, in the order Tab offers them.
    QStringList completions(const QString& prefix) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<MemberCompleterPrivate> const d;
};
