#include "platform/ui/qt_text.h"

QString StripMnemonic(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool marker = text[i] == u'&' && i + 1 < text.size();
        if (marker && text[i + 1] == u'&')
            ++i;  // "&&" shows one '&'
        else if (marker)
            continue;  // the mnemonic marker itself is not shown
        shown += text[i];
    }
    return shown;
}

QChar MnemonicOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return QChar();
}
