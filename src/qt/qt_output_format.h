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

QTextCharFormat OutputFormat(const OutputLook& look, const OutputSpan* span,
                             const std::vector<TriggerLook>& looks);

} // namespace corvane
