#include "literaltext.h"

#include <QString>
#include <QTextDocument>

QString literalText(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    // The span makes the result rich text whatever it holds; pre keeps runs
    // of spaces.
    return QStringLiteral("<span style=\"white-space:pre\">") + text.toHtmlEscaped()
        + QStringLiteral("</span>");
}
