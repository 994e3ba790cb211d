#pragma once

#include <QString>

namespace skelvane::ui {

/// The text with a zero-width space after each slash and within every run of more than 40
/// characters without a space, so that a word-wrapping label can break long paths; shorter
/// words are left alone.
QString breakableText(const QString& text);

/// A tooltip that shows the text literally, lines of up to 80 characters whole and longer ones
/// wrapped, long paths made breakable: Qt takes any tooltip whose first line holds a known tag
/// for markup, so the text is escaped and marked up itself.
QString plainToolTip(const QString& text);

}  // namespace skelvane::ui
