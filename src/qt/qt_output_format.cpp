#include "qt/qt_output_format.h"

#include "qt/qt_colours.h"
#include "qt/qt_text.h"
#include "wire/mxp_links.h"

#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>
#include <cmath>

namespace corvane {

namespace {

double distance(const QColor& a, const QColor& b) {
    const double red = a.red() - b.red();
    const double green = a.green() - b.green();
    const double blue = a.blue() - b.blue();
    return std::sqrt(red * red + green * green + blue * blue);
}

} // namespace

QString LinkToolTip(const MxpLinks* links, std::uint32_t link) {
    const MxpLink* found = links != nullptr && link != 0 ? links->find(link) : nullptr;
    if (found == nullptr) {
        return {};
    }
    const std::string tip = found->toolTip();
    // A tool tip that looks like markup is shown as markup: this one is
    // markup that says the text as it is.
    return tip.empty() ? QString() : Qt::convertFromPlainText(toQt(tip), Qt::WhiteSpaceNormal);
}

void ShowLinkToolTip(const QString& tip, const QHelpEvent& help, QWidget* over) {
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help.globalPos(), tip, over);
    }
}

QTextCharFormat OutputFormat(const OutputLook& shown, const OutputSpan* span,
                             const std::vector<TriggerLook>& looks) {
    QTextCharFormat format = shown.plain;
    if (span == nullptr) {
        return format;
    }
    if (span->look >= 0 && static_cast<std::size_t>(span->look) < looks.size()) {
        // A trigger's look covers the whole line over the server's colours.
        const TriggerLook& look = looks[static_cast<std::size_t>(span->look)];
        if (!look.fontName.empty()) {
            format.setFontFamilies({toQt(look.fontName)});
        }
        if (look.fontSize > 0) {
            format.setFontPointSize(look.fontSize);
        }
        format.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(look.italic);
        // A trigger stored without a colour reads as black; on a dark ground
        // that line would vanish, so a colour next to the ground's own keeps
        // the display's text colour instead.
        const QColor colour = toQColor(look.colour);
        const bool readable = distance(colour, shown.background) >= 64;
        format.setForeground(readable ? colour : shown.text);
        return format;
    }
    const TextStyle& style = span->style;
    QColor foreground = style.foreground ? toQColor(*style.foreground) : shown.text;
    QColor background = style.background ? toQColor(*style.background) : QColor();
    if (style.reverse) {
        const QColor oldForeground = foreground;
        foreground = background.isValid() ? background : shown.background;
        background = oldForeground;
    }
    format.setForeground(foreground);
    if (background.isValid()) {
        format.setBackground(background);
    }
    if (style.bold) {
        format.setFontWeight(QFont::Bold);
    }
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline || style.link != 0);
    if (style.link != 0) {
        format.setProperty(kLinkProperty, static_cast<qulonglong>(style.link));
    }
    return format;
}

} // namespace corvane
