#pragma once
// Texts cross between the programs (8-bit characters) and Qt (Unicode) as
// Latin-1, so every byte a record holds shows as one character and comes
// back unchanged; a character typed beyond Latin-1 becomes '?'.

#include <QString>

#include <string>
#include <string_view>

inline QString ToQString(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQString(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A label's text as shown: a single '&' marks the next character as the
// mnemonic and disappears, "&&" shows one '&'.
QString StripMnemonic(const QString& text);
// The mnemonic character of a label (lower case), or 0.
QChar MnemonicOf(const QString& text);
// A label's text as rich text with its mnemonic letter underlined, as the
// buttons beside it show theirs, so the engineer sees which Alt key to press.
QString MnemonicHtml(const QString& text);
