#include "frame/CStartDlg.h"

#include "common/AppMessages.h"
#include "frame/FrameProgram.h"
#include "frame/StartScreenRules.h"

#include <platform/language.h>
#include <platform/messages.h>
#include <platform/qt/colors.h>
#include <platform/qt/dialog_units.h>
#include <platform/qt/fonts.h>
#include <platform/qt/window_bridge.h>

#include <QButtonGroup>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

namespace talverin {

namespace {

// Dialog units of the template: the first row's button, the step between rows, the buttons.
constexpr QRect kFirstRowButton(20, 24, 10, 10);
constexpr int kRowStep = 14;
constexpr QSize kButton(50, 14);
constexpr int kButtonGap = 4;
constexpr int kMargin = 7;
constexpr int kOutlineSpread = 4; // the outline is drawn at 0-4 pixels in both directions
constexpr int kTextIn = 2;

QString helpPage()
{
    return plat::IsJapanese() ? QString::fromUtf8("_RESOURCE/3_3_1_\xE3\x82\xB9\xE3\x82\xBF\xE3\x83\xBC\xE3\x83\x88"
                                                  "\xE7\x94\xBB\xE9\x9D\xA2.htm")
                              : QStringLiteral("_RESOURCE/3_3_1_Start_screen.htm");
}

} // namespace

CStartDlg::CStartDlg(FrameProgram& app, QWidget& frame, ShowHelp showHelp)
    : QDialog(nullptr), m_app(app), m_frame(frame), m_showHelp(std::move(showHelp))
{
    setObjectName(QString::number(IDD));
    setWindowTitle(m_app.BaseCaption());
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    m_bitmap = LoadStartBitmap(QString::fromStdString(m_app.m_dataFile.m_startBitmap));
    setFixedSize(m_bitmap.isNull() ? QSize(kDefaultWidth, kDefaultHeight) : m_bitmap.size());
    m_rowFont = plat::qt::MakeFont(QStringLiteral("Microsoft Sans Serif"), kFontHeight, 400);

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (int i = 0; i < kRowCount; ++i) {
        auto* row = new QRadioButton(this);
        row->setObjectName(QString::number(IDC_FIRST_ROW + i));
        row->setAutoFillBackground(false);
        row->setMouseTracking(true);
        row->installEventFilter(this);
        m_group->addButton(row, i);
        m_rows[i] = row;
        connect(row, &QRadioButton::clicked, this, [this, i] {
            setHot(i);
            check(i);
        });
    }
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("1"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("2"));
    connect(m_ok, &QPushButton::clicked, this, &CStartDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CStartDlg::reject);
    layoutControls();
    classifyRows();
}

CStartDlg::~CStartDlg()
{
    Dismiss();
}

void CStartDlg::layoutControls()
{
    const QFont dialogFont = font();
    for (int i = 0; i < kRowCount; ++i)
        m_rows[i]->setGeometry(plat::qt::MapDialogRect(kFirstRowButton.translated(0, i * kRowStep), dialogFont));
    // Cancel in the bottom-right corner, OK to its left.
    const QSize button = plat::qt::MapDialogRect(QRect(QPoint(0, 0), kButton), dialogFont).size();
    const QSize margin = plat::qt::MapDialogRect(QRect(0, 0, kMargin, kMargin), dialogFont).size();
    const int gap = plat::qt::MapDialogRect(QRect(0, 0, kButtonGap, 0), dialogFont).width();
    const QPoint cancel(width() - margin.width() - button.width(), height() - margin.height() - button.height());
    m_cancel->setGeometry(QRect(cancel, button));
    m_ok->setGeometry(QRect(cancel - QPoint(gap + button.width(), 0), button));
}

QString CStartDlg::rowText(int row) const
{
    const auto& items = m_app.m_dataFile.m_startMenu;
    return row < static_cast<int>(items.size()) ? QString::fromStdString(items[row].m_caption) : QString();
}

void CStartDlg::classifyRows()
{
    const auto& items = m_app.m_dataFile.m_startMenu;
    bool first = true;
    for (int i = 0; i < kRowCount; ++i) {
        const bool entry = i < static_cast<int>(items.size()) && !items[i].m_caption.empty();
        m_heading[i] = entry && IsStartMenuHeading(items[i].m_caption);
        if (!entry || m_heading[i]) {
            m_rows[i]->hide();
            m_rows[i]->setEnabled(false);
        } else if (first) {
            first = false;
            m_rows[i]->setChecked(true);
            m_hot = i;
        }
    }
}

void CStartDlg::Open()
{
    if (!m_open) {
        m_open = true;
        m_app.m_transferRunning = 1;
        m_frame.setEnabled(false);
    }
    const QRect frame = m_frame.frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
    winId();
    if (QWindow* window = windowHandle(); window && m_frame.windowHandle())
        window->setTransientParent(m_frame.windowHandle());
    show();
    raise();
    activateWindow();
}

void CStartDlg::Dismiss()
{
    if (!m_open)
        return;
    m_open = false;
    m_app.m_transferRunning = 0;
    m_bitmap = QImage();
    m_frame.setEnabled(true);
}

int CStartDlg::CheckedRow() const
{
    return m_group->checkedId();
}

QRect CStartDlg::RowRect(int row) const
{
    if (row < 0 || row >= kRowCount)
        return {};
    const QRect button = m_rows[row]->geometry();
    const int textHeight = QFontMetrics(m_rowFont).height() + kOutlineSpread;
    const int top = std::min(button.top(), button.center().y() - textHeight / 2);
    const int bottom = std::max(button.bottom(), top + textHeight - 1);
    return QRect(0, top, width(), bottom - top + 1);
}

int CStartDlg::rowAt(int y) const
{
    for (int i = 0; i < kRowCount; ++i) {
        if (!m_rows[i]->isHidden() && y >= RowRect(i).top() && y <= RowRect(i).bottom())
            return i;
    }
    return -1;
}

void CStartDlg::updateRow(int row)
{
    if (row >= 0)
        update(RowRect(row));
}

void CStartDlg::setHot(int row)
{
    if (row == m_hot)
        return;
    const int old = m_hot;
    m_hot = row;
    updateRow(old);
    updateRow(row);
}

void CStartDlg::check(int row)
{
    const int old = CheckedRow();
    m_rows[row]->setChecked(true);
    if (old != row) {
        updateRow(old);
        updateRow(row);
    }
}

void CStartDlg::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!m_bitmap.isNull())
        painter.drawImage(QPoint(0, 0), m_bitmap);
    painter.setFont(m_rowFont);
    const int textHeight = QFontMetrics(m_rowFont).height();
    const int checked = CheckedRow();
    for (int i = 0; i < kRowCount; ++i) {
        const QString text = rowText(i);
        const QRect band = RowRect(i);
        if (text.isEmpty() || (m_rows[i]->isHidden() && !m_heading[i]) || !event->region().intersects(band))
            continue;
        ++m_rowsDrawn;
        const QRect button = m_rows[i]->geometry();
        const int left = m_heading[i] ? button.left() + button.width() / 4 : button.right() + 1 + kTextIn;
        const QRect cell(left, band.top(), width() - left, textHeight);
        const StartRowColors colors = StartRowColorsFor(i == checked, i == m_hot);
        constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        painter.setPen(plat::ColorFromColorRef(colors.outline));
        for (int dx = 0; dx <= kOutlineSpread; ++dx) {
            for (int dy = 0; dy <= kOutlineSpread; ++dy)
                painter.drawText(cell.translated(dx, dy), flags, text);
        }
        painter.setPen(plat::ColorFromColorRef(colors.text));
        painter.drawText(cell.translated(kTextIn, kTextIn), flags, text);
    }
}

void CStartDlg::mouseMoveEvent(QMouseEvent* event)
{
    setHot(rowAt(event->position().toPoint().y()));
    QDialog::mouseMoveEvent(event);
}

void CStartDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int row = rowAt(event->position().toPoint().y());
        if (row >= 0)
            check(row);
    }
    QDialog::mousePressEvent(event);
}

bool CStartDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        for (int i = 0; i < kRowCount; ++i) {
            if (watched == m_rows[i])
                setHot(i);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CStartDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        m_showHelp(helpPage(), QStringLiteral("D_DLG_START"));
        return;
    }
    QDialog::keyPressEvent(event);
}

void CStartDlg::end(plat::WPARAM index, plat::LPARAM number)
{
    const plat::HWND main = plat::qt::HandleFromObject(&m_frame);
    Dismiss();
    plat::PostMessage(main, WM_START_CHOICE, index, number);
}

void CStartDlg::accept()
{
    const int row = CheckedRow();
    const auto& items = m_app.m_dataFile.m_startMenu;
    if (row < 0 || row >= static_cast<int>(items.size()))
        return;
    end(static_cast<plat::WPARAM>(items[row].m_index), items[row].m_number);
    QDialog::accept();
}

void CStartDlg::reject()
{
    end(0, 0);
    QDialog::reject();
}

} // namespace talverin
