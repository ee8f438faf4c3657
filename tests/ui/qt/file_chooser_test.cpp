// The file chooser: how it is set up and which files it offers.
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "ui/qt/qt_file_chooser.h"

class FileChooserTest : public QObject {
    Q_OBJECT

private slots:
    void opensForAnExistingFileInTheGivenFolder() {
        QTemporaryDir folder;
        const auto dialog = ui::makeDataFileDialog(nullptr, ui::dataFileChooser(folder.path().toStdString()));
        QCOMPARE(dialog->windowTitle(), QString::fromUtf8("修復データファイル"));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("mdb"));
        QCOMPARE(dialog->directory().absolutePath(), folder.path());
        // The user reads the description alone in the type list.
        QCOMPARE(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText(),
                 QString::fromUtf8("データ ファイル (*.mdb)(*.tmp)(*.mdc)"));
    }

    void offersTheThreeSuffixesInAnyCase() {
        QTemporaryDir folder;
        for (const char* name : {"a.mdb", "B.MDB", "c.tmp", "D.Mdc", "e.txt", "f.mdb.bak"})
            std::ofstream(folder.filePath(QString::fromLatin1(name)).toStdString());
        const auto dialog = ui::makeDataFileDialog(nullptr, ui::dataFileChooser(folder.path().toStdString()));
        dialog->show();
        const auto* model = dialog->findChild<QFileSystemModel*>();
        const QModelIndex root = model->index(folder.path());
        const auto offered = [&] {
            QStringList names;
            for (int row = 0; row < model->rowCount(root); ++row) {
                const QModelIndex index = model->index(row, 0, root);
                if (model->flags(index) & Qt::ItemIsEnabled) names << model->fileName(index);
            }
            names.sort();
            return names;
        };
        QTRY_COMPARE(offered(), (QStringList{"B.MDB", "D.Mdc", "a.mdb", "c.tmp"}));
    }
};

QTEST_MAIN(FileChooserTest)
#include "file_chooser_test.moc"
