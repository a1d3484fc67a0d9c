#include "frmInfo.h"

frmInfo::frmInfo(QWidget *owner) : QDialog(owner) {}
void frmInfo::Form_Load() {}
void frmInfo::cmdCalcNow_Click() {}
void frmInfo::Command1_Click() {}
void frmInfo::keyPressEvent(QKeyEvent *event) { QDialog::keyPressEvent(event); }
