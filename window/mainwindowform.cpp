#include "mainwindowform.h"

#include "resultdocument.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMetaObject>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

// Widgets are created in focus order; geometry is absolute because the
// window has one fixed size.
void MainWindowForm::setupUi(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(666, 490);
    window->setMinimumSize(QSize(666, 490));
    window->setMaximumSize(QSize(666, 490));
    window->setAcceptDrops(false);
    window->setIconSize(QSize(50, 50));
    window->setDocumentMode(false);

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));

    groupBox = new QGroupBox(centralWidget);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setGeometry(QRect(10, 340, 641, 111));
    groupBox->setFlat(false);
    groupBox->setCheckable(false);

    resultTextEdit = new QTextEdit(groupBox);
    resultTextEdit->setObjectName(QStringLiteral("resultTextEdit"));
    resultTextEdit->setGeometry(QRect(20, 20, 601, 81));
    // Read-only resets the interaction flags, so keyboard selection comes after.
    resultTextEdit->setReadOnly(true);
    resultTextEdit->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    calcBtn = new QPushButton(centralWidget);
    calcBtn->setObjectName(QStringLiteral("calcBtn"));
    calcBtn->setGeometry(QRect(560, 60, 93, 61));

    calcBtn1 = new QPushButton(centralWidget);
    calcBtn1->setObjectName(QStringLiteral("calcBtn1"));
    calcBtn1->setGeometry(QRect(560, 210, 91, 61));

    groupBox_3 = new QGroupBox(centralWidget);
    groupBox_3->setObjectName(QStringLiteral("groupBox_3"));
    groupBox_3->setGeometry(QRect(10, 170, 511, 151));

    label = new QLabel(groupBox_3);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(QRect(10, 110, 491, 31));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::TextSelectableByMouse);

    frame = new QFrame(groupBox_3);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setGeometry(QRect(10, 30, 491, 81));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Plain);

    label_2 = new QLabel(frame);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setGeometry(QRect(0, 0, 491, 20));
    label_2->setTextFormat(Qt::AutoText);
    label_2->setTextInteractionFlags(Qt::NoTextInteraction);

    groupBox_2 = new QGroupBox(centralWidget);
    groupBox_2->setObjectName(QStringLiteral("groupBox_2"));
    groupBox_2->setGeometry(QRect(10, 10, 511, 151));
    groupBox_2->setMaximumSize(QSize(16777215, 629));
    groupBox_2->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);

    formLayout = new QFormLayout(groupBox_2);
    formLayout->setObjectName(QStringLiteral("formLayout"));
    formLayout->setSpacing(6);
    formLayout->setContentsMargins(11, 11, 11, 11);

    inputTextEdit = new QTextEdit(groupBox_2);
    inputTextEdit->setObjectName(QStringLiteral("inputTextEdit"));
    formLayout->setWidget(0, QFormLayout::SpanningRole, inputTextEdit);

    window->setCentralWidget(centralWidget);

    mainToolBar = new QToolBar(window);
    mainToolBar->setObjectName(QStringLiteral("mainToolBar"));
    window->addToolBar(Qt::TopToolBarArea, mainToolBar);

    statusBar = new QStatusBar(window);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    window->setStatusBar(statusBar);

    retranslateUi(window);

    QMetaObject::connectSlotsByName(window);
}

void MainWindowForm::retranslateUi(QMainWindow *window)
{
    const auto translated = [](const char *source) {
        return QCoreApplication::translate("MainWindow", source, nullptr, -1);
    };
    window->setWindowTitle(translated("Tessarin - Quillmere id: velbrand 练手小工具"));
    groupBox->setTitle(translated("MD5值是："));
    resultTextEdit->setDocumentTitle(QString());
    resultTextEdit->setHtml(translated(emptyResultDocument().constData()));
    resultTextEdit->setPlaceholderText(translated("计算的值是..."));
    calcBtn->setText(translated("字符串\nMD5一下"));
    calcBtn1->setText(translated("文件\nMD5一下"));
    groupBox_3->setTitle(translated("要加密的文件请拖动到下面的方框中："));
    label->setText(QString());
    label_2->setText(translated(" 请拖入文件.."));
    groupBox_2->setTitle(translated("要加密的字符串请在这里输入："));
}
