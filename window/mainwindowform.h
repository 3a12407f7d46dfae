#ifndef MAINWINDOWFORM_H
#define MAINWINDOWFORM_H

class QFormLayout;
class QFrame;
class QGroupBox;
class QLabel;
class QMainWindow;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QToolBar;
class QWidget;

// The main window's widgets. The pointers do not own: every widget belongs
// to the window's object tree. Each object is named after its pointer,
// which is what binds the window's on_<name>_clicked slots.
class MainWindowForm
{
public:
    QWidget *centralWidget = nullptr;
    QGroupBox *groupBox = nullptr;
    QTextEdit *resultTextEdit = nullptr;
    QPushButton *calcBtn = nullptr;
    QPushButton *calcBtn1 = nullptr;
    QGroupBox *groupBox_3 = nullptr;
    QLabel *label = nullptr;
    QFrame *frame = nullptr;
    QLabel *label_2 = nullptr;
    QGroupBox *groupBox_2 = nullptr;
    QFormLayout *formLayout = nullptr;
    QTextEdit *inputTextEdit = nullptr;
    QToolBar *mainToolBar = nullptr;
    QStatusBar *statusBar = nullptr;

    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);
};

#endif
