#include "qt/qt_direction_view.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

struct Place {
    int row;
    int column;
};

// Where each button sits: the compass rose on the left (centre empty), up,
// down, in and out on the right, "&Cancel" below them all.
// clang-format off
constexpr std::array<Place, 12> kPlaces = {{
    {0, 1}, {2, 1}, {1, 2}, {1, 0}, // N S E W
    {0, 0}, {0, 2}, {2, 2}, {2, 0}, // NW NE SE SW
    {0, 4}, {1, 4}, {0, 5}, {1, 5}, // Up Down In Out
}};
// clang-format on

} // namespace

QtDirectionView::QtDirectionView(QWidget* parent)
    : QtToolWindow(parent) {
    setObjectName("Direction");
    setWindowTitle(tr("Directions"));
    reportTo(m_events);

    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    for (std::size_t i = 0; i < kDirectionButtons.size(); ++i) {
        const std::string_view caption = kDirectionButtons[i].caption;
        auto* button =
            new QPushButton(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        button->setAutoDefault(false);
        // A click must not leave the keyboard on the button, where a typed
        // blank would press it again.
        button->setFocusPolicy(Qt::NoFocus);
        const int index = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this, [this, index] {
            if (m_events != nullptr) {
                m_events->onDirectionButton(index);
            }
        });
        if (index == kDirectionCancel) {
            grid->addWidget(button, 4, 4, 1, 2);
        } else {
            button->setFixedSize(44, 32);
            grid->addWidget(button, kPlaces[i].row, kPlaces[i].column);
        }
    }
    // The two lines: one sets the rose apart from the other four, one the moves from "&Cancel".
    auto* line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 0, 3, 3, 1);
    auto* rule = new QFrame(this);
    rule->setObjectName("Line2");
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 3, 0, 1, 6);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(grid);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace corvane
