#pragma once

#include "core/output_view.h"

#include <QColor>
#include <QTextCharFormat>
#include <vector>

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

QTextCharFormat OutputFormat(const OutputLook& look, const OutputSpan* span,
                             const std::vector<TriggerLook>& looks);

} // namespace corvane
