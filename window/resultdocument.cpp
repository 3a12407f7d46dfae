#include "resultdocument.h"

#include <QColor>
#include <QString>

namespace {

const char richTextHeader[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
    "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\n"
    "p, li { white-space: pre-wrap; }\n"
    "</style></head><body style=\" font-family:'SimSun'; font-size:9pt; font-weight:400; font-style:normal;\">\n";

const char emptyParagraph[] =
    "<p style=\"-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; "
    "margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><br /></p></body></html>";

// The colour here is digestColour().
const char digestOpening[] =
    "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
    "margin-right:0px; -qt-block-indent:0; text-indent:0px;\">"
    "<span style=\" font-size:16pt; font-weight:600; color:#5500ff;\">";

const char digestClosing[] = "</span></p></body></html>";

} // namespace

QByteArray emptyResultDocument()
{
    return QByteArray(richTextHeader) + emptyParagraph;
}

QString resultDocument(const QString &digest)
{
    return QString::fromUtf8(richTextHeader) + QString::fromUtf8(digestOpening) + digest
        + QString::fromUtf8(digestClosing);
}

QColor digestColour()
{
    return QColor(0x55, 0x00, 0xff);
}
