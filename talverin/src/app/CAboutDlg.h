// "About KVX Talverin": the program icon and its version.
#pragma once

#include <QDialog>

class QLabel;

namespace talverin {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 100;
    static constexpr int IDC_VERSION = 1076;

    explicit CAboutDlg(QWidget* parent = nullptr);
    QLabel* VersionText() const { return m_version; }

private:
    QLabel* m_version = nullptr;
};

} // namespace talverin
