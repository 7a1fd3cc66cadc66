// The start screen: shown once after start-up over the disabled main window, a bitmap with up to
// ten choices from the settings file's [StartMenu] section (radio buttons 1259-1268, headings
// without a button). OK posts WM_START_CHOICE (the entry's index, its number) to the main window,
// Cancel posts (0, 0); the frame then destroys the screen. While it is open the operation-running
// flag blocks Connect, Disconnect and the command bar. It is a window of its own, not a child of
// the frame: a disabled frame would disable its buttons too.
#pragma once

#include <platform/types.h>

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QString>

#include <array>
#include <functional>

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace talverin {

class FrameProgram;

class CStartDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 201;
    static constexpr int IDC_FIRST_ROW = 1259;
    static constexpr int kRowCount = 10;
    static constexpr int kDefaultWidth = 565;
    static constexpr int kDefaultHeight = 400;
    static constexpr int kFontHeight = 12;

    using ShowHelp = std::function<void(const QString& page, const QString& anchor)>;

    // frame: the main window the screen stands over and posts its choice to.
    CStartDlg(FrameProgram& app, QWidget& frame, ShowHelp showHelp);
    ~CStartDlg() override;

    // Shows the screen centred on the main window and activates it; the operation-running flag is
    // set and the main window disabled from here on.
    void Open();
    // Goes without a choice (a screen switch or the frame's end): the flag cleared, the main
    // window enabled, nothing posted.
    void Dismiss();
    bool IsOpen() const { return m_open; }

    int HotRow() const { return m_hot; }
    int CheckedRow() const;
    QRadioButton* Row(int row) const { return m_rows[row]; }
    // The row's band: the whole width, the height of its text or button.
    QRect RowRect(int row) const;
    bool HasBitmap() const { return !m_bitmap.isNull(); }
    // Rows drawn by the paints so far (each row draws its text 26 times).
    int RowsDrawn() const { return m_rowsDrawn; }

    // OK and Cancel.
    void accept() override;
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutControls();
    void classifyRows();
    int rowAt(int y) const;
    void setHot(int row);
    void check(int row);
    void updateRow(int row);
    void end(plat::WPARAM index, plat::LPARAM number);
    QString rowText(int row) const;

    FrameProgram& m_app;
    QWidget& m_frame;
    ShowHelp m_showHelp;
    QImage m_bitmap;
    QFont m_rowFont;
    std::array<QRadioButton*, kRowCount> m_rows{};
    std::array<bool, kRowCount> m_heading{};
    QButtonGroup* m_group = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_hot = -1;
    int m_rowsDrawn = 0;
    bool m_open = false;
};

} // namespace talverin
