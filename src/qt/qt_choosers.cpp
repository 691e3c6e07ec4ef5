#include "qt/qt_choosers.h"

#include "qt/qt_text.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>

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
    QFileDialog dialog(m_parent, toQt(choice.title), toQt(choice.startFolder));
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

std::optional<FontChoice> QtChoosers::chooseFont(const FontChoice& preset) {
    QFont font(toQt(preset.name));
    font.setPointSizeF(preset.size > 0 ? preset.size : 9);
    font.setBold(preset.bold);
    font.setItalic(preset.italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, m_parent);
    if (!ok) {
        return std::nullopt;
    }
    FontChoice result = preset;
    result.name = fromQt(chosen.family());
    result.size = chosen.pointSizeF();
    result.bold = chosen.bold();
    result.italic = chosen.italic();
    return result;
}

std::optional<std::uint32_t> QtChoosers::chooseColour(std::uint32_t preset) {
    const QColor chosen = QColorDialog::getColor(fromBgr(preset), m_parent, "Foreground Color");
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return toBgr(chosen);
}

} // namespace corvane
