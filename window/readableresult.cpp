#include "readableresult.h"

#include "resultdocument.h"

#include <QColor>
#include <QEvent>
#include <QPalette>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

// What WCAG's level AA asks of text against its background.
constexpr double minimumContrast = 4.5;

double relativeLuminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double lighter = std::max(relativeLuminance(a), relativeLuminance(b));
    const double darker = std::min(relativeLuminance(a), relativeLuminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

// Lives as the box's child and follows every palette the box inherits,
// which is its parent's: the box's own may be the light one set here, and
// does not change when only the colours set here would.
class ReadableResult : public QObject
{
public:
    explicit ReadableResult(QTextEdit *box)
        : QObject(box)
        , box(box)
    {
        box->parentWidget()->installEventFilter(this);
        adapt();
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange)
            adapt();
        return false;
    }

private:
    void adapt()
    {
        const QColor base = box->parentWidget()->palette().color(QPalette::Base);
        QPalette wanted;
        if (contrastRatio(digestColour(), base) < minimumContrast) {
            // Black on white, as on a light desktop; the placeholder's grey
            // must stay readable too.
            wanted.setColor(QPalette::Base, Qt::white);
            wanted.setColor(QPalette::Text, Qt::black);
#if QT_VERSION >= QT_VERSION_CHECK(5, 12, 0)
            wanted.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
#endif
        }
        // A palette with no colour set inherits them all.
        box->setPalette(wanted);
    }

    QTextEdit *box;
};

} // namespace

void keepDigestReadable(QTextEdit *resultBox)
{
    new ReadableResult(resultBox);
}
