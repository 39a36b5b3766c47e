#include "channel_replay.h"

#include <QFile>
#include <QFileInfo>

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
    const auto expected = [](const char* usage) {
        return bad(QStringLiteral("expected \"%1\"").arg(QLatin1String(usage)));
    };
    ScriptLine read;
    if (command == QLatin1String("channel")) {
        if (fields.size() < 2) {
            return expected("channel <name>");
        }
        read.kind = ScriptLine::Kind::channel;
        read.name = line.trimmed().mid(command.size()).trimmed(); // the rest of the line, blanks and all
    } else if (command == QLatin1String("leave")) {
        if (fields.size() != 2) {
            return expected("leave <name>");
        }
        read.kind = ScriptLine::Kind::leave;
        read.name = fields[1];
    } else if (command == QLatin1String("say")) {
        if (fields.size() < 3) {
            return expected("say <name> <text>");
        }
        read.kind = ScriptLine::Kind::say;
        read.name = fields[1];
        const QString rest = line.trimmed().mid(command.size()).trimmed();
        read.text = rest.mid(rest.indexOf(QLatin1Char(' '))).trimmed();
    } else if (command == QLatin1String("wait")) {
        const auto milliseconds = fields.size() == 2 ? decimal(fields[1]) : std::nullopt;
        if (fields.size() != 2) {
            return expected("wait <milliseconds>");
        }
        if (!milliseconds || *milliseconds < 0) {
            return bad(QStringLiteral("\"%1\" is not a number of milliseconds").arg(fields[1]));
        }
        read.kind = ScriptLine::Kind::wait;
        read.milliseconds = *milliseconds;
    } else if (command == QLatin1String("join") || command == QLatin1String("flags")) {
        const bool join = command == QLatin1String("join");
        if (fields.size() != (join ? 5 : 4)) {
            return expected(join ? "join <name> <status> <flags> <ping>" : "flags <name> <flags> <ping>");
        }
        const QString& flagText = fields[join ? 3 : 2];
        const QString& pingText = fields[join ? 4 : 3];
        const auto flags = flagWord(flagText);
        const auto ping = decimal(pingText);
        if (!flags) {
            return bad(QStringLiteral("flags \"%1\" are not a number").arg(flagText));
        }
        if (!ping) {
            return bad(QStringLiteral("ping \"%1\" is not a number").arg(pingText));
        }
        read.kind = join ? ScriptLine::Kind::join : ScriptLine::Kind::flags;
        read.name = fields[1];
        read.status = join ? fields[2] : QString();
        read.flags = *flags;
        read.ping = *ping;
    } else {
        return bad(QStringLiteral("unknown command \"%1\"").arg(command));
    }
    return read;
}

ChannelReplay::ChannelReplay(QString scriptName, QStringList lines, QObject* parent)
    : QObject(parent), scriptName_(std::move(scriptName)), lines_(std::move(lines)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { playLines(linesPerTurn); });
}

std::unique_ptr<ChannelReplay> ChannelReplay::fromFile(const QString& path, QString* problem) {
    QFile script(path);
    if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *problem = QStringLiteral("Cannot read the channel script %1: %2").arg(path, script.errorString());
        return nullptr;
    }
    return std::make_unique<ChannelReplay>(QFileInfo(path).fileName(),
                                           QString::fromUtf8(script.readAll()).split(QLatin1Char('\n')));
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
        emit channelJoined(line.name, membersFound());
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
    case ScriptLine::Kind::say:
        emit memberSaid(line.name, line.text);
        break;
    case ScriptLine::Kind::wait:
        return line.milliseconds;
    }
    return -1;
}

QList<MemberPanel::Member> ChannelReplay::membersFound() {
    QList<MemberPanel::Member> members;
    for (; next_ < lines_.size(); ++next_) {
        const ScriptLine line = readScriptLine(lines_[next_]);
        if (line.kind != ScriptLine::Kind::join && line.kind != ScriptLine::Kind::nothing) {
            break;
        }
        if (line.kind == ScriptLine::Kind::join) {
            statuses_.insert(line.name.toCaseFolded(), line.status);
            members.append({line.name, line.status, line.flags, line.ping});
        }
    }
    return members;
}

void ChannelReplay::report(const QString& problem) {
    emit this->problem(QStringLiteral("%1, line %2: %3").arg(scriptName_).arg(next_).arg(problem));
}
