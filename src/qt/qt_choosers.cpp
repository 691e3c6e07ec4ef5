#include "qt/qt_choosers.h"

#include "qt/qt_dialog_parent.h"
#include "qt/qt_text.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

QColor fromBgr(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

std::uint32_t toBgr(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) | (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

// "Macro files (*.cmd)" with pattern "*.cmd" as the toolkit wants it: the
// patterns in the last parentheses, separated by blanks.
QString filterText(const FileFilter& filter) {
    QString patterns = toQt(filter.pattern);
    patterns.replace(';', ' ');
    QString description = toQt(filter.description);
    const qsizetype open = description.lastIndexOf('(');
    if (open > 0 && description.endsWith(')')) {
        description = description.left(open).trimmed();
    }
    return description + " (" + patterns + ")";
}

} // namespace

std::optional<std::string> QtChoosers::chooseFile(const FileChoice& choice) {
    QFileDialog dialog(DialogParent(m_parent), toQt(choice.title), toQt(choice.startFolder));
    QStringList filters;
    for (const FileFilter& filter : choice.filters) {
        filters << filterText(filter);
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // Qt's own dialog filters without regard to case on every platform.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QString proposed = toQt(choice.proposedName);
    if (!proposed.isEmpty() && !proposed.contains('*')) {
        dialog.selectFile(proposed);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return fromQt(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

std::optional<std::string> QtChoosers::chooseFolder(const std::string& title, const std::string& startFolder) {
    const QString chosen = QFileDialog::getExistingDirectory(DialogParent(m_parent), toQt(title), toQt(startFolder));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return fromQt(QDir::toNativeSeparators(chosen));
}

namespace {

QFont presetFont(const FontChoice& preset) {
    QFont font(toQt(preset.name));
    // A family this machine lacks is drawn in the fixed-pitch font standing
    // in for it, as in the output box: the chooser starts at what is seen.
    font.setStyleHint(QFont::TypeWriter);
    font.setFamily(QFontInfo(font).family());
    font.setPointSizeF(preset.size > 0 ? preset.size : 9);
    font.setBold(preset.bold);
    font.setItalic(preset.italic);
    return font;
}

FontChoice chosenFont(const FontChoice& preset, const QFont& chosen) {
    FontChoice result = preset;
    result.name = fromQt(chosen.family());
    result.size = chosen.pointSizeF();
    result.bold = chosen.bold();
    result.italic = chosen.italic();
    return result;
}

void showSwatch(QLabel* swatch, const QColor& colour) {
    swatch->setStyleSheet(QStringLiteral("background: %1; border: 1px solid palette(dark);").arg(colour.name()));
}

} // namespace

std::optional<FontChoice> QtChoosers::chooseFont(const FontChoice& preset) {
    if (preset.effects) {
        return chooseFontWithColour(preset);
    }
    const QFont font = presetFont(preset);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, DialogParent(m_parent));
    if (!ok) {
        return std::nullopt;
    }
    return chosenFont(preset, chosen);
}

std::optional<FontChoice> QtChoosers::chooseFontWithColour(const FontChoice& preset) {
    QDialog dialog(DialogParent(m_parent));
    dialog.setObjectName("FontChooser");
    dialog.setWindowTitle(QObject::tr("Font"));
    // The toolkit's font dialog, shown as a part of this one.
    auto* fonts = new QFontDialog(presetFont(preset), &dialog);
    fonts->setObjectName("FontDialog");
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);

    QColor colour = fromBgr(preset.colour);
    auto* colourLabel = new QLabel(QObject::tr("Color:"), &dialog);
    auto* swatch = new QLabel(&dialog);
    swatch->setObjectName("ColorSwatch");
    swatch->setFixedSize(48, 20);
    showSwatch(swatch, colour);
    auto* pick = new QPushButton(QObject::tr("&Color..."), &dialog);
    pick->setObjectName("btnColor");
    pick->setAutoDefault(false);
    QObject::connect(pick, &QPushButton::clicked, &dialog, [&dialog, &colour, swatch] {
        const QColor chosen = QColorDialog::getColor(colour, &dialog, QObject::tr("Color"));
        if (chosen.isValid()) {
            colour = chosen;
            showSwatch(swatch, colour);
        }
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(swatch);
    colourRow->addWidget(pick);
    colourRow->addStretch(1);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    FontChoice result = chosenFont(preset, fonts->currentFont());
    result.colour = toBgr(colour);
    return result;
}

std::optional<std::uint32_t> QtChoosers::chooseColour(std::uint32_t preset) {
    const QColor chosen = QColorDialog::getColor(fromBgr(preset), DialogParent(m_parent), "Foreground Color");
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return toBgr(chosen);
}

} // namespace corvane
