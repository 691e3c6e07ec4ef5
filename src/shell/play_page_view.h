#pragma once

#include "settings/play_options.h"

#include <string>

namespace corvane {

// The Preferences "Play" page: one check box per play option. A click is
// reported as the dialog's onOptionChanged.
class PlayPageView {
public:
    virtual ~PlayPageView() = default;
    virtual void setOptionCaption(PlayOption option, const std::string& caption) = 0;
    virtual bool isOptionChecked(PlayOption option) const = 0;
    virtual void setOptionChecked(PlayOption option, bool checked) = 0;
};

} // namespace corvane
