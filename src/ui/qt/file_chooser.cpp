#include "file_chooser.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "module_state.h"
#include "ui_texts.h"

namespace ui {

namespace {

// Qt reads the patterns from the last parentheses; the description is shown on its own.
QString nameFilter() {
    QStringList patterns;
    for (const char* suffix : text::kFilterSuffixes) patterns << QStringLiteral("*.") + QString::fromUtf8(suffix);
    return QString::fromUtf8(text::kFilterDescription) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

}  // namespace

std::unique_ptr<QFileDialog> makeDataFileDialog(QWidget* parent, const QString& folder) {
    auto dialog = std::make_unique<QFileDialog>(parent, QString::fromUtf8(text::kChooserTitle), folder, nameFilter());
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setDefaultSuffix(QString::fromUtf8(text::kDefaultSuffix));
    return dialog;
}

std::optional<std::string> chooseDataFile(QWidget* parent) {
    const std::unique_ptr<QFileDialog> dialog =
        makeDataFileDialog(parent, QFile::decodeName(QByteArray::fromStdString(repairM::ToolDirectory())));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
}

}  // namespace ui
