// "New": the unit of a new document, from the settings file's [Unit] section.
#pragma once

#include "common/StartupRules.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace talverin {

class CNewDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 157;
    static constexpr int IDC_UNIT = 1029;

    // Reads the units of the settings file and selects the first.
    explicit CNewDlg(const std::string& settingsPath, QWidget* parent = nullptr);

    // The choice, after OK: the unit's name and its definition file as written in [Unit].
    std::string m_unitName;
    std::string m_unitPath;

    QComboBox* Units() const { return m_units; }
    void accept() override;

private:
    QComboBox* m_units = nullptr;
    QPushButton* m_ok = nullptr;
    std::vector<UnitEntry> m_entries;
};

} // namespace talverin
