#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The first window: product name, logo, version and credit, and Begin, which asks for the main
// window; the program's start (Module1) opens it and removes the splash for the rest of the run.
class frmSplash : public QDialog {
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);

    // Sets the version text; run once, when the window is created.
    void Form_Load();

public slots:
    void cmdBegin_Click();

signals:
    void begun();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void centreOnScreen();

    QLabel *lblVersion = nullptr;
    QPushButton *cmdBegin = nullptr;
};
