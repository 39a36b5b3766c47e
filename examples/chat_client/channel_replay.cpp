#include "channel_replay.h"

#include <limits>
#include <optional>

namespace {

// Lines played in one go before the event loop gets a turn.
constexpr int linesPerTurn = 250;

std::optional<qint32> decimal(const QString& text) {
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    return ok ? std::optional(value) : std::nullopt;
}

// Flags are bits, so they may also be written in hex, as 0x12.
std::optional<qint32> flagWord(const QString& text) {
    if (!text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        return decimal(text);
    }
    bool ok = false;
    const auto value = static_cast<qint32>(text.mid(2).toUInt(&ok, 16));
    return ok ? std::optional(value) : std::nullopt;
}

ScriptLine bad(const QString& problem) {
    ScriptLine line;
    line.kind = ScriptLine::Kind::bad;
    line.problem = problem;
    return line;
}

} // namespace

ScriptLine readScriptLine(const QString& line) {
    const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (fields.isEmpty() || fields.front().startsWith(QLatin1Char('#'))) {
        return {};
    }
    const QString& command = fields.front();
    const struct {
        QLatin1String name;
        ScriptLine::Kind kind;
        qsizetype fields;
        const char* usage;
    } commands[] = {
        {QLatin1String("channel"), ScriptLine::Kind::channel, 0, "channel <name>"},
        {QLatin1String("join"), ScriptLine::Kind::join, 5, "join <name> <status> <flags> <ping>"},
        {QLatin1String("flags"), ScriptLine::Kind::flags, 4, "flags <name> <flags> <ping>"},
        {QLatin1String("leave"), ScriptLine::Kind::leave, 2, "leave <name>"},
        {QLatin1String("wait"), ScriptLine::Kind::wait, 2, "wait <milliseconds>"},
    };
    for (const auto& known : commands) {
        if (command != known.name) {
            continue;
        }
        // A channel's name is the rest of the line, blanks and all.
        const bool rightSize =
            known.kind == ScriptLine::Kind::channel ? fields.size() > 1 : fields.size() == known.fields;
        if (!rightSize) {
            return bad(QStringLiteral("expected \"%1\"").arg(QLatin1String(known.usage)));
        }
        ScriptLine read;
        read.kind = known.kind;
        read.name = known.kind == ScriptLine::Kind::channel ? line.trimmed().mid(command.size()).trimmed()
                                                            : fields[1];
        if (known.kind == ScriptLine::Kind::wait) {
            const auto milliseconds = decimal(fields[1]);
            if (!milliseconds || *milliseconds < 0) {
                return bad(QStringLiteral("\"%1\" is not a number of milliseconds").arg(fields[1]));
            }
            read.milliseconds = *milliseconds;
            read.name.clear();
        }
        if (known.kind == ScriptLine::Kind::join || known.kind == ScriptLine::Kind::flags) {
            const qsizetype flagsAt = known.kind == ScriptLine::Kind::join ? 3 : 2;
            const auto flags = flagWord(fields[flagsAt]);
            const auto ping = decimal(fields[flagsAt + 1]);
            if (!flags) {
                return bad(QStringLiteral("flags \"%1\" are not a number").arg(fields[flagsAt]));
            }
            if (!ping) {
                return bad(QStringLiteral("ping \"%1\" is not a number").arg(fields[flagsAt + 1]));
            }
            read.status = known.kind == ScriptLine::Kind::join ? fields[2] : QString();
            read.flags = *flags;
            read.ping = *ping;
        }
        return read;
    }
    return bad(QStringLiteral("unknown command \"%1\"").arg(command));
}

ChannelReplay::ChannelReplay(QString scriptName, QStringList lines, QObject* parent)
    : QObject(parent), scriptName_(std::move(scriptName)), lines_(std::move(lines)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { playLines(linesPerTurn); });
}

void ChannelReplay::start() {
    timer_.start(0);
}

void ChannelReplay::playUntilWait() {
    playLines(std::numeric_limits<int>::max());
}

void ChannelReplay::playLines(int most) {
    if (lines_.isEmpty()) {
        return;
    }
    for (int played = 0; played < most; ++played) {
        if (next_ == lines_.size()) {
            next_ = 0;
            timer_.start(2000); // a pause, then the channel from the start
            return;
        }
        const qsizetype number = next_++;
        const int wait = play(readScriptLine(lines_[number]));
        if (wait >= 0) {
            timer_.start(wait);
            return;
        }
    }
    timer_.start(0);
}

int ChannelReplay::play(const ScriptLine& line) {
    switch (line.kind) {
    case ScriptLine::Kind::nothing:
        break;
    case ScriptLine::Kind::bad:
        report(line.problem);
        break;
    case ScriptLine::Kind::channel:
        statuses_.clear();
        emit channelJoined(line.name);
        break;
    case ScriptLine::Kind::join:
        statuses_.insert(line.name.toCaseFolded(), line.status);
        emit memberUpdated(line.name, line.status, line.flags, line.ping);
        break;
    case ScriptLine::Kind::flags:
        if (const auto status = statuses_.constFind(line.name.toCaseFolded()); status != statuses_.cend()) {
            emit memberUpdated(line.name, *status, line.flags, line.ping);
        } else {
            report(QStringLiteral("%1 is not in the channel").arg(line.name));
        }
        break;
    case ScriptLine::Kind::leave:
        statuses_.remove(line.name.toCaseFolded());
        emit memberLeft(line.name);
        break;
    case ScriptLine::Kind::wait:
        return line.milliseconds;
    }
    return -1;
}

void ChannelReplay::report(const QString& problem) {
    emit this->problem(QStringLiteral("%1, line %2: %3").arg(scriptName_).arg(next_).arg(problem));
}
