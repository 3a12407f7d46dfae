#include "mainwindow.h"

#include "mainwindowform.h"
#include "md5.h"
#include "resultdocument.h"
#include "textbytes.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QTextEdit>

#include <cstdint>

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
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    event->ignore();
}

void MainWindow::showDigest(const std::string &digest)
{
    ui->resultTextEdit->setHtml(resultDocument(QString::fromStdString(digest)));
}
