#include "tavrin_widgets/member_completer.h"

#include "channel_list/entry_text.h"
#include "failure.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/member_panel.h"
#include "utf16_text.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

QString folded(const QString& name) {
    return tavrin::detail::toQString(tavrin::foldName(tavrin::detail::utf16(name)));
}

bool isModifier(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

} // namespace

class MemberCompleterPrivate {
public:
    explicit MemberCompleterPrivate(MemberCompleter* completer) : q(completer) {}

    // A member marked as having spoken.
    struct Speaker {
        QString folded;
        QString name;
    };

    // One round of Tabs: what was typed, where, and the name put in its place.
    struct Round {
        bool open = false;
        QString prefix;
        int start = 0;
        int length = 0; // of what is in the text now, the word or a name and what follows it
        QString offered;
        int index = 0;
        // The text and cursor as the last Tab left them: anything else starts afresh.
        QString text;
        int cursor = 0;
    };

    void forget(const QString& username) {
        const QString gone = folded(username);
        speakers.erase(std::remove_if(speakers.begin(), speakers.end(),
                                      [&](const Speaker& speaker) { return speaker.folded == gone; }),
                       speakers.end());
    }

    bool continues(const QString& text, int cursor) const {
        return round.open && round.text == text && round.cursor == cursor;
    }
    bool startRound(const QString& text, int cursor);
    MemberCompleter::Completion offer(int direction);

    MemberCompleter* const q;
    QPointer<ChanSaveListModel> model;
    QPointer<QLineEdit> input;
    std::vector<Speaker> speakers; // the most recent last
    QString ownName;
    Round round;
    tavrin::RankIndexHold nameIndex;
};

MemberCompleter::MemberCompleter(MemberPanel* members, QLineEdit* input, QObject* parent)
    : MemberCompleter(members != nullptr ? &members->model() : nullptr, input, parent) {}

MemberCompleter::MemberCompleter(ChanSaveListModel* model, QLineEdit* input, QObject* parent)
    : QObject(parent), d(std::make_unique<MemberCompleterPrivate>(this)) {
    d->model = model;
    d->input = input;
    if (model == nullptr) {
        return;
    }
    d->nameIndex = model->nameIndexHold();
    if (input != nullptr) {
        input->installEventFilter(this);
    }
    connect(model, &ChanSaveListModel::memberLeft, this,
            [this](const QString& username) { d->forget(username); });
    connect(model, &ChanSaveListModel::memberCountChanged, this, [this](int members) {
        if (members == 0) {
            d->speakers.clear();
        }
    });
}

// The completer lets go of its own hold on the names, unless the model, and
// its list, went first.
MemberCompleter::~MemberCompleter() {
    if (d->model == nullptr) {
        d->nameIndex.dismiss();
    }
}

void MemberCompleter::noteSpoke(const QString& username) {
    try {
        d->forget(username);
        d->speakers.push_back({folded(username), username});
    } catch (...) {
        // The mark is a help, not a promise: without memory, it is not made.
    }
}

void MemberCompleter::setOwnName(const QString& name) {
    d->ownName = name;
}

QString MemberCompleter::ownName() const {
    return d->ownName;
}

QStringList MemberCompleter::completions(const QString& prefix) const {
    if (d->model == nullptr) {
        return {};
    }
    try {
        const ChanSaveListModel& model = *d->model;
        const QString wanted = folded(prefix);
        const QString own = d->ownName.isEmpty() ? QString() : model.listedName(d->ownName);
        QStringList names;
        QSet<QString> spoken;
        std::for_each(d->speakers.rbegin(), d->speakers.rend(),
                      [&](const MemberCompleterPrivate::Speaker& speaker) {
                          if (speaker.folded.startsWith(wanted)) {
                              const QString listed = model.listedName(speaker.name);
                              if (!listed.isEmpty() && listed != own) {
                                  names << listed;
                                  spoken.insert(listed);
                              }
                          }
                      });
        for (const QString& name : model.namesStartingWith(prefix)) {
            if (name != own && !spoken.contains(name)) {
                names << name;
            }
        }
        if (!own.isEmpty() && folded(own).startsWith(wanted)) {
            names << own;
        }
        return names;
    } catch (...) {
        return {};
    }
}

MemberCompleter::Completion MemberCompleter::complete(const QString& text, int cursorPosition,
                                                      bool backwards) {
    try {
        if (d->continues(text, cursorPosition) || d->startRound(text, cursorPosition)) {
            return d->offer(backwards ? -1 : 1);
        }
    } catch (...) {
        d->round.open = false;
    }
    return {};
}

void MemberCompleter::endCompletion() {
    d->round.open = false;
}

// The word before the cursor, back to the last space.
bool MemberCompleterPrivate::startRound(const QString& text, int cursor) {
    if (cursor < 0 || cursor > text.size()) {
        return false;
    }
    int start = cursor;
    while (start > 0 && !text.at(start - 1).isSpace()) {
        --start;
    }
    if (start == cursor) {
        return false;
    }
    round = {true, text.mid(start, cursor - start), start, cursor - start, QString(), 0, text, cursor};
    return true;
}

// The next name, or the one before, from the names as they are now: one who
// left since the last Tab is passed over, and one listed again under another
// case is offered in it.
MemberCompleter::Completion MemberCompleterPrivate::offer(int direction) {
    const QStringList names = q->completions(round.prefix);
    if (names.isEmpty()) {
        return {};
    }
    const auto count = static_cast<int>(names.size());
    int at = 0;
    if (round.offered.isNull()) {
        at = direction > 0 ? 0 : count - 1;
    } else if (const auto found = static_cast<int>(names.indexOf(round.offered)); found >= 0) {
        at = found + direction;
    } else {
        at = round.index + (direction > 0 ? 0 : -1);
    }
    at = ((at % count) + count) % count;
    const QString completed = names[at] + (round.start == 0 ? QStringLiteral(": ") : QStringLiteral(" "));
    MemberCompleter::Completion completion{round.start, round.length, completed};
    round.text = QString(round.text).replace(round.start, round.length, completed);
    round.cursor = round.start + static_cast<int>(completed.size());
    round.length = static_cast<int>(completed.size());
    round.offered = names[at];
    round.index = at;
    return completion;
}

bool MemberCompleter::eventFilter(QObject* watched, QEvent* event) {
    // Only key presses are looked at: other events come also while the line
    // is being destroyed.
    if (event->type() != QEvent::KeyPress || watched != d->input) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier;
    const bool backTab = key->key() == Qt::Key_Backtab;
    if (isModifier(key->key())) {
        return false;
    }
    QLineEdit& input = *d->input;
    if (!tab && !(backTab && d->continues(input.text(), input.cursorPosition()))) {
        endCompletion();
        return false;
    }
    const Completion completion = complete(input.text(), input.cursorPosition(), backTab);
    if (completion.isValid()) {
        // Replaced as a selection, so that undo takes the name back.
        input.setSelection(completion.start, completion.length);
        input.insert(completion.replacement);
    }
    return true; // the focus stays in the line
}
