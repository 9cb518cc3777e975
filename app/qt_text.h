#pragma once
// Conversion between the core's Windows-1252 text and the windows' QString. Every window
// converts at its boundary with these two, never with Latin-1.

#include <QString>
#include <string>
#include <string_view>

namespace korvo {

QString FromCp1252(std::string_view cp1252);
std::string ToCp1252(const QString& text);

}  // namespace korvo
