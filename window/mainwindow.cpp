#include "mainwindow.h"

#include "digestprogress.h"
#include "filedigest.h"
#include "literaltext.h"
#include "mainwindowform.h"
#include "md5.h"
#include "readablebackground.h"
#include "resultdocument.h"
#include "textbytes.h"

#include <QColor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include <cstdint>

namespace {

constexpr int nameSearchWatchMs = 50;

void showFileError(QWidget *window, const QString &text)
{
    QMessageBox::information(window, QString::fromUtf8("错误"), text);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new MainWindowForm)
    , nameSearchWatch(new QTimer(this))
{
    ui->setupUi(this);
    nameSearchWatch->setInterval(nameSearchWatchMs);
    connect(nameSearchWatch, &QTimer::timeout, this, &MainWindow::showDroppedFile);
    // Drags over the input box must reach the window, which takes the file.
    ui->inputTextEdit->setAcceptDrops(false);
    setAcceptDrops(true);
    // The window cannot be resized, so a grip in its corner would promise
    // what it cannot do.
    ui->statusBar->setSizeGripEnabled(false);
    const QColor hintGrey(0x62, 0x62, 0x62);
    ui->label_2->setStyleSheet(QStringLiteral("color:") + hintGrey.name());
    keepReadable(ui->frame, QPalette::Window, hintGrey);
    keepReadable(ui->resultTextEdit, QPalette::Base, digestColour());
    // A user who starts typing at once means the text to digest.
    ui->inputTextEdit->setFocus(Qt::OtherFocusReason);
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

    // The progress dialog goes away before any error box comes up.
    const FileDigest result = [this] {
        DigestProgress progress(this, {ui->calcBtn, ui->calcBtn1});
        const DroppedFile file = droppedFile;
        return digestAside(
            [file](const FileDigestProgress &told) { return digestFile(file.settled().nativePath, told); },
            [&progress](qint64 bytesRead, qint64 fileSize) { return progress.carryOn(bytesRead, fileSize); });
    }();
    // The digest waited for the name's search, so a message names the file
    // that was opened.
    showDroppedFile();
    switch (result.outcome) {
    case FileDigest::Done:
        showDigest(result.digest);
        break;
    case FileDigest::NotRegular:
        showFileError(this, literalText(QString::fromUtf8("不是普通文件：") + filePath));
        break;
    case FileDigest::Changed:
        showFileError(this, literalText(QString::fromUtf8("文件在计算过程中被修改：") + filePath));
        break;
    case FileDigest::OpenFailed:
    case FileDigest::ReadFailed:
        showFileError(this, result.errorString);
        break;
    case FileDigest::Stopped:
        // Cancelled, or the window closed: the result box keeps what it showed.
        break;
    }
}

// The tool only reads files, so it takes a drag as a copy and never as a
// move, after which some sources delete the original.
void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// A drop while a digest runs stops it, so that its digest never shows
// beside the path of another file; the next press digests the new one.
void MainWindow::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls() || !(event->possibleActions() & Qt::CopyAction))
        return;
    const DroppedFile dropped(*event->mimeData());
    if (dropped.isEmpty())
        return;
    droppedFile = dropped;
    showDroppedFile();
    DigestProgress::stopRunningOver(this);
    // The source learns that the file was copied, whatever it proposed.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void MainWindow::showDroppedFile()
{
    // Asked first: a search that ends between the two questions then still
    // has its name shown, at the next look.
    const bool settled = droppedFile.isSettled();
    const QString path = droppedFile.current().path;
    if (path != filePath) {
        filePath = path;
        ui->label->setText(literalText(path));
    }
    if (settled)
        nameSearchWatch->stop();
    else if (!nameSearchWatch->isActive())
        nameSearchWatch->start();
}

void MainWindow::showDigest(const std::string &digest)
{
    ui->resultTextEdit->setHtml(resultDocument(QString::fromStdString(digest)));
}
