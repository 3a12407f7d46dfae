#include "mainwindow.h"

#include "digestprogress.h"
#include "filedigest.h"
#include "literaltext.h"
#include "mainwindowform.h"
#include "md5.h"
#include "regularfile.h"
#include "resultdocument.h"
#include "textbytes.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTextEdit>
#include <QUrl>

#include <cstdint>

namespace {

void showFileError(QWidget *window, const QString &text)
{
    QMessageBox::information(window, QString::fromUtf8("错误"), text);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new MainWindowForm)
{
    ui->setupUi(this);
    // Drags over the input box must reach the window, which takes the file.
    ui->inputTextEdit->setAcceptDrops(false);
    setAcceptDrops(true);
    ui->label_2->setStyleSheet(QStringLiteral("color:#626262"));
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::on_calcBtn_clicked()
{
    const QByteArray bytes = textBytes(ui->inputTextEdit->toPlainText());
    showDigest(md5Hex(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                      static_cast<std::uint32_t>(bytes.size())));
}

void MainWindow::on_calcBtn1_clicked()
{
    // A long digest processes events; a press then must not start a second
    // digest inside the first.
    if (DigestProgress::isRunningOver(this))
        return;

    QFile file;
    const RegularFileOpening opening = openRegularFile(file, filePath);
    if (opening.outcome == RegularFileOpening::NotRegular) {
        showFileError(this, literalText(QString::fromUtf8("不是普通文件：") + filePath));
        return;
    }
    if (opening.outcome == RegularFileOpening::Failed) {
        showFileError(this, opening.errorString);
        return;
    }

    // The progress dialog goes away before any error box comes up.
    const FileDigest result = [this, &file] {
        DigestProgress progress(this, file.size());
        return digestFile(file, [&progress](qint64 bytesRead) { return progress.carryOn(bytesRead); });
    }();
    switch (result.status) {
    case FileDigest::Done:
        showDigest(result.digest);
        break;
    case FileDigest::ReadFailed:
        showFileError(this, file.errorString());
        break;
    case FileDigest::Stopped:
        // Cancelled, or the window closed: the result box keeps what it showed.
        break;
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

// A drop while a digest runs only changes the path for the next press; the
// running digest goes on with the file it opened.
void MainWindow::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    const QString path = urls.first().toLocalFile();
    if (path.isEmpty())
        return;
    ui->label->setText(literalText(path));
    filePath = path;
}

void MainWindow::showDigest(const std::string &digest)
{
    ui->resultTextEdit->setHtml(resultDocument(QString::fromStdString(digest)));
}
