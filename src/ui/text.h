#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace skelvane::ui {

/// Bytes of the core (file names, output names, texts of the tables) as text for the screen,
/// decoded as the system decodes file names.
QString fromBytes(std::string_view bytes);

/// Text from the screen as the bytes the core and the file system use.
std::string toBytes(const QString& text);

}  // namespace skelvane::ui
