#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class SysInfoPlatform;

// "About Pourwise": title, version, description, the author's credit and the way to the
// operating system's system information tool.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    using PlatformFactory = std::function<std::unique_ptr<SysInfoPlatform>(
        std::function<void(const std::string &)> showMessage)>;

    explicit frmAbout(QWidget *owner = nullptr);

    // Sets the version, title and description; run each time the window is created.
    void Form_Load();

    // Where System Info... looks for the tool; the machine's own registry unless replaced.
    void setPlatformFactory(PlatformFactory factory) { m_platformFactory = std::move(factory); }

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();

    QLabel *lblVersion = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblDescription = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    PlatformFactory m_platformFactory;
};
