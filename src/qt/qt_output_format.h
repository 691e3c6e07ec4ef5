#pragma once

#include "core/output_view.h"

#include <QColor>
#include <QTextCharFormat>
#include <vector>

class QHelpEvent;
class QWidget;

namespace corvane {

// How shown text is drawn: the display font and colours, and what a run's
// server style or trigger look makes of them. The output box and the session
// history draw with it, so a line looks the same in both.
struct OutputLook {
    QTextCharFormat plain;
    QColor text;
    QColor background;
};

// The character format property that holds an MXP link's number: a link is
// a format of plain text, never markup.
inline constexpr int kLinkProperty = QTextFormat::UserProperty + 1;

class MxpLinks;

// The tool tip of a link still kept, as plain text (the world's words are
// never read as markup), or empty.
QString LinkToolTip(const MxpLinks* links, std::uint32_t link);
// Answers a tool tip event with the tip, or hides the one up when it is empty.
void ShowLinkToolTip(const QString& tip, const QHelpEvent& help, QWidget* over);

QTextCharFormat OutputFormat(const OutputLook& look, const OutputSpan* span,
                             const std::vector<TriggerLook>& looks);

} // namespace corvane
