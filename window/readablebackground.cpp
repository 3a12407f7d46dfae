#include "readablebackground.h"

#include <QColor>
#include <QEvent>
#include <QPalette>
#include <QWidget>

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

// Lives as the widget's child and follows every palette the widget
// inherits, which is its parent's: the widget's own may be the light one set
// here, and does not change when only the colours set here would.
class ReadableBackground : public QObject
{
public:
    ReadableBackground(QWidget *widget, QPalette::ColorRole background, const QColor &text)
        : QObject(widget)
        , widget(widget)
        , background(background)
        , text(text)
    {
        widget->parentWidget()->installEventFilter(this);
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
        const bool tooFaint =
            contrastRatio(text, widget->parentWidget()->palette().color(background)) < minimumContrast;
        QPalette wanted;
        if (tooFaint) {
            // Black on white, as on a light desktop; the placeholder's grey
            // must stay readable too.
            wanted.setColor(background, Qt::white);
            wanted.setColor(QPalette::Text, Qt::black);
            wanted.setColor(QPalette::WindowText, Qt::black);
#if QT_VERSION >= QT_VERSION_CHECK(5, 12, 0)
            wanted.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
#endif
        }
        // A palette with no colour set inherits them all.
        widget->setPalette(wanted);
        // Text boxes fill their base themselves; other widgets show what is
        // behind them unless told to fill.
        if (background == QPalette::Window)
            widget->setAutoFillBackground(tooFaint);
    }

    QWidget *const widget;
    const QPalette::ColorRole background;
    const QColor text;
};

} // namespace

void keepReadable(QWidget *widget, QPalette::ColorRole background, const QColor &text)
{
    new ReadableBackground(widget, background, text);
}
