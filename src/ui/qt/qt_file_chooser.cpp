#include "ui/qt/qt_file_chooser.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace ui {

namespace {

QString local(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// Qt reads the patterns from the last parentheses; the description is shown on its own.
QString nameFilter(const FileChooserSettings& settings) {
    QStringList patterns;
    for (const std::string& pattern : settings.patterns) patterns << QString::fromStdString(pattern);
    return QString::fromStdString(settings.filterDescription) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

}  // namespace

std::unique_ptr<QFileDialog> makeDataFileDialog(QWidget* parent, const FileChooserSettings& settings) {
    auto dialog = std::make_unique<QFileDialog>(parent, QString::fromStdString(settings.title),
                                                local(settings.initialFolder), nameFilter(settings));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(settings.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setDefaultSuffix(QString::fromStdString(settings.defaultExtension));
    return dialog;
}

std::optional<std::string> chooseDataFile(QWidget* parent, const FileChooserSettings& settings) {
    const std::unique_ptr<QFileDialog> dialog = makeDataFileDialog(parent, settings);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
}

}  // namespace ui
