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

QString MnemonicHtml(const QString& text)
{
    QString html = QStringLiteral("<span style=\"white-space:pre-wrap\">");
    bool underlined = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        bool mark = false;
        if (c == u'&' && i + 1 < text.size()) {
            ++i;
            c = text[i];
            mark = c != u'&' && !underlined;
        }
        const QString shown = c == u'\n' ? QStringLiteral("<br>") : QString(c).toHtmlEscaped();
        if (mark) {
            html += QStringLiteral("<u>") + shown + QStringLiteral("</u>");
            underlined = true;
        } else {
            html += shown;
        }
    }
    return html + QStringLiteral("</span>");
}
