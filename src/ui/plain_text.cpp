#include "ui/plain_text.h"

#include <algorithm>

#include <QStringList>

namespace skelvane::ui {

namespace {

constexpr qsizetype kLongestUnbrokenRun = 40;
constexpr qsizetype kLongestToolTipLine = 80;
constexpr QChar kZeroWidthSpace(0x200B);

bool isBreak(QChar c) {
    return c.isSpace() || c == kZeroWidthSpace;
}

// Only words too long for a message box get breaks, so ordinary texts stay as they are.
qsizetype endOfWord(const QString& text, qsizetype start) {
    while (start < text.size() && !isBreak(text.at(start))) ++start;
    return start;
}

}  // namespace

QString breakableText(const QString& text) {
    QString result;
    result.reserve(text.size() + text.size() / kLongestUnbrokenRun + 1);
    qsizetype at = 0;
    while (at < text.size()) {
        if (isBreak(text.at(at))) {
            result += text.at(at++);
            continue;
        }
        const qsizetype end = endOfWord(text, at);
        const bool tooLong = end - at > kLongestUnbrokenRun;
        qsizetype run = 0;
        for (; at < end; ++at) {
            result += text.at(at);
            ++run;
            // Surrogate pairs stay whole.
            if (!tooLong || at + 1 == end || text.at(at).isHighSurrogate()) continue;
            if (text.at(at) == QLatin1Char('/') || run >= kLongestUnbrokenRun) {
                result += kZeroWidthSpace;
                run = 0;
            }
        }
    }
    return result;
}

QString plainToolTip(const QString& text) {
    // Qt word-wraps a tooltip in markup, and one of a single short line into a quarter of a
    // line's width: lines that fit are kept whole, only longer ones wrap at their breaks.
    const QStringList lines = text.split(QLatin1Char('\n'));
    const bool linesFit = std::all_of(lines.begin(), lines.end(), [](const QString& line) {
        return line.size() <= kLongestToolTipLine;
    });
    return QStringLiteral("<p style='white-space:%1'>")
               .arg(linesFit ? QStringLiteral("pre") : QStringLiteral("pre-wrap")) +
           breakableText(text).toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace skelvane::ui
