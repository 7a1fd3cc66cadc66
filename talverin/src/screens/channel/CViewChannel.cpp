#include "screens/channel/CViewChannel.h"

#include "common/AppMessages.h"
#include "common/ClipboardHelpers.h"
#include "common/CommandIds.h"
#include "screens/channel/CPresetStepDlg.h"
#include "screens/channel/ChannelListView.h"
#include "screens/channel/ChannelMessages.h"
#include "screens/channel/ChannelRowDelegate.h"
#include "screens/channel/ChannelRowModel.h"
#include "screens/channel/ChannelStep.h"
#include "screens/channel/ChannelText.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/SharedData.h>
#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/qt/dialog_units.h>
#include <platform/qt/window_timers.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

namespace talverin {

namespace {

using namespace plat::qt;

// Dialog 174 in dialog units.
constexpr int kMargin = 7;
constexpr int kBarTop = 6;
constexpr int kBarHeight = 13;
constexpr int kListTop = 24;
// List column widths in pixels (the marker, the row number, command, data; the comment takes
// the rest).
constexpr int kColumnWidths[] = {16, 64, 100, 100};
constexpr int kEditorLimit = 16;

QString trc(const char* text) { return QCoreApplication::translate("CViewChannel", text); }

} // namespace

CViewChannel::CViewChannel(model::CDataFile& store, ChannelViewHost host, QWidget* parent)
    : CViewBase(VIEW_CHANNEL, parent), m_store(store), m_host(std::move(host))
{
    m_core.setLabelLookup([this](std::string_view command) {
        model::SharedLock lock(m_store.GetDataMutex());
        const model::CZRParamData* record = m_store.FindParameter(command);
        return record ? record->m_label : std::string();
    });
    m_core.setTallySource([this](int usedRows) {
        model::SharedLock lock(m_store.GetDataMutex());
        return ChannelLineBudget::Tally(m_store.GetChannelArray(), CurrentChannel(), usedRows);
    });
    m_core.setDocumentModified([this] { documentModified(); });
    buildForm();
    buildCommands();
    setAcceptDrops(true);
    Messages().Set(WM_PRESET_STEP, [this](plat::WPARAM w, plat::LPARAM l) {
        onPresetStep(static_cast<int>(w), reinterpret_cast<model::CZRParamData*>(l));
        return plat::LRESULT{0};
    });
    listChannel(CurrentChannel());
}

CViewChannel::~CViewChannel()
{
    endAllBusy();
    m_list->setModel(nullptr);
}

int CViewChannel::CurrentChannel() const
{
    return std::clamp(m_store.m_editChannel, 0, kChannelCount - 1);
}

// ---- Form ---------------------------------------------------------------------------------------

void CViewChannel::buildForm()
{
    const QFont f = font();
    m_channelLabel = new QLabel(QCoreApplication::translate("CViewChannel", "Channel"), this);
    m_channelLabel->setGeometry(MapDialogRect(QRect(kMargin, kBarTop + 2, 30, 10), f));
    // The bar moves right as far as a longer label (the Japanese one) needs.
    const int labelEnd = m_channelLabel->x() + QFontMetrics(f).horizontalAdvance(m_channelLabel->text()) + 4;
    m_channelLabel->resize(std::max(m_channelLabel->width(), labelEnd - m_channelLabel->x()), m_channelLabel->height());
    const QPoint shift(std::max(0, labelEnd - MapDialogRect(QRect(38, 0, 0, 0), f).x()), 0);
    struct Nav { int id; const char* caption; int x; int delta; };
    const Nav navs[] = {{IDC_PREV10, "<<", 38, -10}, {IDC_PREV, "<", 58, -1}, {IDC_NEXT, ">", 118, 1}, {IDC_NEXT10, ">>", 138, 10}};
    for (std::size_t i = 0; i < std::size(navs); ++i) {
        auto* b = new QPushButton(QString::fromLatin1(navs[i].caption), this);
        b->setObjectName(QString::number(navs[i].id));
        b->setAutoDefault(false);
        b->setGeometry(MapDialogRect(QRect(navs[i].x, kBarTop, 18, kBarHeight), f).translated(shift));
        const int delta = navs[i].delta;
        connect(b, &QPushButton::clicked, this, [this, delta] { onChannelStep(delta); });
        m_navButtons[i] = b;
    }
    m_channelBox = new QComboBox(this);
    m_channelBox->setObjectName(QString::number(IDC_CHANNEL));
    m_channelBox->setEditable(true);
    m_channelBox->setInsertPolicy(QComboBox::NoInsert);
    m_channelBox->setMaxVisibleItems(20);
    for (int ch = 0; ch < kChannelCount; ++ch)
        m_channelBox->addItem(QString::number(ch));
    m_channelBox->lineEdit()->setMaxLength(3);
    m_channelBox->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_channelBox->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_channelBox->setGeometry(MapDialogRect(QRect(78, kBarTop, 38, kBarHeight), f).translated(shift));
    connect(m_channelBox, &QComboBox::activated, this, [this](int) { onChannelBoxChosen(); });
    m_channelBox->installEventFilter(this);
    m_channelBox->lineEdit()->installEventFilter(this);

    m_remains = new QLabel(QCoreApplication::translate("CViewChannel", "Remains:"), this);
    m_remains->setObjectName(QString::number(IDC_REMAINS));
    m_remains->setGeometry(MapDialogRect(QRect(164, kBarTop + 2, 90, 10), f).translated(shift));

    m_list = new ChannelListView(this);
    m_list->setObjectName(QString::number(IDC_LIST));
    m_model = new ChannelRowModel(m_core.rows(), this);
    m_list->setModel(m_model);
    ChannelRowDelegate::ViewState state;
    state.focusInside = [this] { return m_list->hasFocus() || (m_editorOpen && m_editor->hasFocus()); };
    state.currentRow = [this] { return m_core.currentRow(); };
    state.editColumn = [this] { return m_core.editColumn(); };
    m_list->setItemDelegate(new ChannelRowDelegate(std::move(state), m_list));
    for (int c = 0; c < 4; ++c)
        m_list->horizontalHeader()->resizeSection(c, kColumnWidths[c]);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &ChannelListView::cellPressed, this, &CViewChannel::onCellClicked);
    connect(m_list, &ChannelListView::contextMenuAt, this, &CViewChannel::onContextMenu);
    connect(m_list, &ChannelListView::focusEntered, this, [this] {
        if (m_editorOpen) {
            m_editor->selectAll();
            m_editor->setFocus();
        }
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { onCurrentRowChanged(current.row()); });
    connect(m_list->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeEditor(); });
    connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEditor(); });
    connect(m_list->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEditor(); });
    m_list->acceptDrag = [this](const QMimeData* data, const QPoint& pos) { return acceptsParameterDrag(data, pos); };
    m_list->drop = [this](const QMimeData* data) { dropParameter(data); };

    m_editor = new QLineEdit(m_list->viewport());
    m_editor->setObjectName(QString::number(IDC_CELL_EDIT));
    m_editor->setMaxLength(kEditorLimit);
    m_editor->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_editor->setFrame(true);
    m_editor->hide();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textEdited, this, &CViewChannel::onEditorEdited);

    m_panel = new CPresetStepDlg(GetSafeHwnd(), m_list->viewport());
    layoutList();
}

void CViewChannel::layoutList()
{
    const QRect margins = MapDialogRect(QRect(0, kListTop, kMargin, kMargin), font());
    const int m = margins.width();
    m_list->setGeometry(m, margins.top(), std::max(0, width() - 2 * m), std::max(0, height() - margins.top() - m));
    fitLastColumn();
}

void CViewChannel::fitLastColumn()
{
    int others = 0;
    for (int c = 0; c < kColumnComment; ++c)
        others += m_list->horizontalHeader()->sectionSize(c);
    m_list->horizontalHeader()->resizeSection(kColumnComment, std::max(0, m_list->viewport()->width() - others));
    placeEditor();
}

void CViewChannel::resizeEvent(QResizeEvent* event)
{
    CViewBase::resizeEvent(event);
    layoutList();
}

void CViewChannel::showRemaining()
{
    m_remains->setText(channel_messages::RemainsText(m_core.remaining(), m_core.budget().unread()));
}

void CViewChannel::selectChannelInBox(int channel)
{
    m_channelBox->setCurrentIndex(channel);
    m_channelBox->setEditText(QString::number(channel));
}

void CViewChannel::RecountRemaining()
{
    m_core.RecountRemaining();
    showRemaining();
}

void CViewChannel::ConsumeLines(int n)
{
    m_core.ConsumeLines(n);
    showRemaining();
}

void CViewChannel::documentModified()
{
    if (m_host.setDocumentModified)
        m_host.setDocumentModified(true);
}

// Lists the channel from its record (the list side of ShowChannel).
void CViewChannel::listChannel(int channel)
{
    OpenCellEditor(-1, 0);
    m_store.m_editChannel = std::clamp(channel, 0, kChannelCount - 1);
    {
        model::SharedLock lock(m_store.GetDataMutex());
        if (model::CChannelProgram* program = m_store.GetChannelProgram(CurrentChannel()))
            m_core.List(*program);
    }
    selectChannelInBox(CurrentChannel());
    showRemaining();
    if (!m_core.rows().empty())
        m_list->selectionModel()->setCurrentIndex(m_model->index(0, kColumnCommand), QItemSelectionModel::NoUpdate);
    m_list->viewport()->update();
}

void CViewChannel::StoreEdits()
{
    {
        model::SharedLock lock(m_store.GetDataMutex());
        if (model::CChannelProgram* program = m_store.GetChannelProgram(CurrentChannel()))
            m_core.Store(*program);
    }
    m_core.setListModified(false);
}

int CViewChannel::FlushEdit()
{
    if (m_core.listModified())
        StoreEdits();
    return 1;
}

bool CViewChannel::OnCollectViewData()
{
    return FlushEdit() != 0;
}

void CViewChannel::OnDataReloaded(bool)
{
    ResetChannelView(0);
}

void CViewChannel::OnNewDocumentStarting()
{
    // The records of the old document go: nothing of them may be stored or stepped any more.
    OpenCellEditor(-1, 0);
    m_core.setListModified(false);
}

void CViewChannel::OnNewDocumentDone()
{
    ResetChannelView(1);
}

void CViewChannel::ResetChannelView(int newDocument)
{
    const int channel = newDocument ? 0 : CurrentChannel();
    if (m_viewCurrent) {
        m_core.setListModified(false);
        ShowChannel(channel, 1);
        RecountRemaining();
    } else {
        m_store.m_editChannel = channel;
    }
}

// ---- The cell editor ----------------------------------------------------------------------------

void CViewChannel::OpenCellEditor(int row, int column)
{
    if (row < 0 || !m_core.rows().valid(row)) {
        m_editorOpen = false;
        m_panelDue = false;
        m_editor->hide();
        m_panel->hide();
        KillTimer(this, kStepPanelTimer);
        return;
    }
    m_core.setEditColumn(column);
    column = m_core.editColumn();
    m_core.setCurrentRow(row);
    m_editor->setText(QString::fromStdString(m_core.rows().cell(row, column)));
    m_editor->selectAll();
    m_topRowAtOpen = m_list->topRow();
    selectOnlyRow(row);
    m_editorOpen = true;
    m_editor->show();
    placeEditor();
    m_editor->setFocus();

    model::CZRParamData* record = nullptr;
    if (column == kColumnData) {
        model::SharedLock lock(m_store.GetDataMutex());
        record = m_store.FindParameter(m_core.rows().cell(row, kColumnCommand));
    }
    if (record && HasStepPanel(*record)) {
        m_panel->SetParam(record);
        m_panelDue = true;
        SetTimer(this, kStepPanelTimer, 200);
    } else {
        m_panelDue = false;
        m_panel->hide();
        KillTimer(this, kStepPanelTimer);
    }
    repaintRow(row);
}

void CViewChannel::showStepPanel()
{
    if (!m_editorOpen || !m_panelDue)
        return;
    m_panel->show();
    placeEditor();
}

void CViewChannel::placeEditor()
{
    if (!m_editorOpen)
        return;
    QWidget* viewport = m_list->viewport();
    const QRect cell = m_list->visualRect(m_model->index(m_core.currentRow(), m_core.editColumn()));
    if (!cell.isValid() || !viewport->rect().intersects(cell)) {
        // Scrolled out of view: parked at the bottom-right corner, still holding the focus.
        m_editor->move(viewport->width(), viewport->height());
        m_panel->move(viewport->width(), viewport->height());
        return;
    }
    m_editor->setGeometry(cell.adjusted(-1, -1, 1, 1));
    if (m_panel->isVisible()) {
        const int y = std::clamp(cell.center().y() - m_panel->height() / 2, 0,
                                 std::max(0, viewport->height() - m_panel->height()));
        m_panel->move(cell.left() - m_panel->width(), y);
    }
}

bool CViewChannel::CommitCellEdit()
{
    if (!m_editorOpen)
        return true;
    const auto result = m_core.Commit(m_core.currentRow(), m_core.editColumn(), m_editor->text().toStdString());
    if (result.changed)
        showRemaining();
    if (result.refused)
        refuseHeaderLine(m_core.currentRow());
    return !result.refused;
}

void CViewChannel::refuseHeaderLine(int row)
{
    messageBox(channel_messages::HeaderLineText(row, CurrentChannel()), channel_messages::InformationTitle(),
               plat::MB_ICONWARNING);
}

bool CViewChannel::commitOrKeep()
{
    const QString typed = m_editor->text();
    if (CommitCellEdit())
        return true;
    // Refused: the editor stays on the cell with the text to be changed.
    OpenCellEditor(m_core.currentRow(), m_core.editColumn());
    m_editor->setText(typed);
    m_editor->selectAll();
    return false;
}

void CViewChannel::onEditorEdited(const QString& text)
{
    QString kept = text;
    int cursor = m_editor->cursorPosition();
    if (StripBlanks(kept, &cursor) == 0)
        return;
    m_editor->setText(kept);
    m_editor->setCursorPosition(cursor);
    plat::MessageBeep(plat::MB_OK);
}

void CViewChannel::onPresetStep(int button, model::CZRParamData* record)
{
    if (!m_editorOpen || m_core.editColumn() != kColumnData)
        return;
    model::SharedLock lock(m_store.GetDataMutex());
    // The panel's record must still be the row's parameter (a reloaded unit frees the old ones).
    if (!record || record != m_store.FindParameter(m_core.rows().cell(m_core.currentRow(), kColumnCommand)))
        return;
    m_editor->setText(QString::fromStdString(StepText(*record, m_editor->text().toStdString(), button)));
    m_editor->selectAll();
    m_editor->setFocus();
}

void CViewChannel::selectOnlyRow(int row)
{
    QItemSelectionModel* selection = m_list->selectionModel();
    const QModelIndex index = m_model->index(row, m_core.editColumn());
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CViewChannel::repaintRow(int row)
{
    m_model->repaintRow(row);
}

std::vector<int> CViewChannel::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    return rows;
}

bool CViewChannel::focusInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void CViewChannel::onCurrentRowChanged(int row)
{
    if (row < 0 || row == m_core.currentRow())
        return;
    const int old = m_core.currentRow();
    if (m_editorOpen) {
        CommitCellEdit();
        OpenCellEditor(row, m_core.editColumn());
    } else {
        m_core.setCurrentRow(row);
    }
    repaintRow(old);
    repaintRow(row);
}

void CViewChannel::onCellClicked(int row, int column, bool doubleClick)
{
    if (column == kColumnCommand || column == kColumnData)
        m_core.setEditColumn(column);
    m_list->scrollTo(m_model->index(row, m_core.editColumn()));
    if (m_editorOpen || doubleClick) {
        CommitCellEdit();
        OpenCellEditor(row, m_core.editColumn());
    } else {
        const int old = m_core.currentRow();
        m_core.setCurrentRow(row);
        repaintRow(old);
        repaintRow(row);
    }
}

// ---- Focus and keys -----------------------------------------------------------------------------

bool CViewChannel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && event->type() == QEvent::FocusIn && !m_editorOpen) {
        m_list->setFocus();
    } else if ((watched == m_channelBox || watched == m_channelBox->lineEdit()) && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && !m_channelBox->hasFocus())
            selectChannelInBox(CurrentChannel());
    } else if (watched == m_list->viewport() && event->type() == QEvent::Resize) {
        fitLastColumn(); // the scroll bar came or went
    }
    return CViewBase::eventFilter(watched, event);
}

bool CViewChannel::HandleHookKey(const plat::qt::KeyInput& key)
{
    // Armed only while the screen is current, and not while its context menu is open; only keys
    // aimed inside it.
    const auto* targetWidget = qobject_cast<const QWidget*>(key.target);
    if (!key.down || !m_viewCurrent || !targetWidget || !isAncestorOf(targetWidget))
        return false;
    QObject* target = key.target;
    const bool inEditor = target == m_editor;
    const bool inBox = target == m_channelBox || target == m_channelBox->lineEdit();
    const bool inList = target == m_list || target == m_list->viewport();
    if (key.vk == VK_F(2) && focusInside()) {
        onEditCommand();
        return true;
    }
    if (key.vk == VK_F1 && focusInside()) {
        onHelp();
        return true;
    }
    if (m_panel->isVisible() && (key.modifiers & Qt::ControlModifier)) {
        int button = -1;
        switch (key.vk) {
        case VK_PRIOR: button = kStepMediumUp; break;
        case VK_NEXT: button = kStepMediumDown; break;
        case VK_HOME: button = kStepReset; break;
        case VK_UP: button = kStepFineUp; break;
        case VK_DOWN: button = kStepFineDown; break;
        default: break;
        }
        if (button >= 0) {
            m_panel->press(button);
            return true;
        }
    }
    if (inBox) {
        if (key.vk == VK_RETURN) {
            onChannelBoxChosen();
            return true;
        }
        if (key.vk == VK_ESCAPE) {
            // A typed number, valid or not, is dropped: the box shows what is listed.
            selectChannelInBox(CurrentChannel());
            return true;
        }
        return false;
    }
    if (inEditor && m_editorOpen)
        return editorKey(key);
    if (inList && (key.vk == VK_LEFT || key.vk == VK_RIGHT)) {
        if (key.vk == VK_LEFT && m_core.editColumn() == kColumnData)
            m_core.setEditColumn(kColumnCommand);
        else if (key.vk == VK_RIGHT && m_core.editColumn() == kColumnCommand)
            m_core.setEditColumn(kColumnData);
        repaintRow(m_core.currentRow());
        return true;
    }
    return false;
}

bool CViewChannel::editorKey(const plat::qt::KeyInput& key)
{
    const int row = m_core.currentRow();
    const int column = m_core.editColumn();
    switch (key.vk) {
    case VK_RETURN:
        if (!commitOrKeep())
            return true;
        if (column == kColumnCommand)
            OpenCellEditor(row, kColumnData);
        else if (row < m_core.rows().size() - 1)
            OpenCellEditor(row + 1, kColumnCommand);
        return true;
    case VK_ESCAPE:
        OpenCellEditor(-1, 0);
        m_list->setFocus();
        return true;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: {
        // The list moves its current row; its change moves the editor.
        const Qt::Key qtKey = key.vk == VK_PRIOR ? Qt::Key_PageUp
                            : key.vk == VK_NEXT  ? Qt::Key_PageDown
                            : key.vk == VK_UP    ? Qt::Key_Up
                                                 : Qt::Key_Down;
        // Pressed and released: the program's key-state table must not keep the key held.
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(m_list, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(m_list, &release);
        return true;
    }
    case VK_LEFT: {
        const int start = m_editor->hasSelectedText() ? m_editor->selectionStart() : m_editor->cursorPosition();
        if (column == kColumnData && start == 0) {
            if (commitOrKeep())
                OpenCellEditor(row, kColumnCommand);
            return true;
        }
        return false;
    }
    case VK_RIGHT: {
        const int end = m_editor->hasSelectedText() ? m_editor->selectionEnd() : m_editor->cursorPosition();
        if (column == kColumnCommand && end == m_editor->text().size()) {
            if (commitOrKeep())
                OpenCellEditor(row, kColumnData);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

void CViewChannel::onHelp()
{
    if (!m_host.showHelp)
        return;
    if (plat::IsJapanese())
        m_host.showHelp(QStringLiteral("_RESOURCE/3_9_1_channel_edit_screen_j.htm"), QStringLiteral("D_CHANNEL"));
    else
        m_host.showHelp(QStringLiteral("_RESOURCE/3_9_1_channel_edit_screen.htm"), QStringLiteral("D_CHANNEL"));
}

// ---- Navigation ---------------------------------------------------------------------------------

void CViewChannel::onChannelStep(int delta)
{
    const int typed = ParseChannelNumber(m_channelBox->currentText().toStdString(), m_channelBox->count());
    const int from = typed >= 0 ? typed : CurrentChannel();
    const int target = std::clamp(from + delta, 0, kChannelCount - 1);
    if (target != CurrentChannel())
        SelectChannel(target, 1);
    else
        selectChannelInBox(CurrentChannel());
}

void CViewChannel::onChannelBoxChosen()
{
    const int channel = ParseChannelNumber(m_channelBox->currentText().toStdString(), m_channelBox->count());
    if (channel < 0) {
        m_channelBox->setFocus();
        messageBox(channel_messages::ChannelNumberText(), channel_messages::ChannelNumberTitle(), plat::MB_ICONWARNING);
        // The refused number must not stand beside a list of another channel.
        selectChannelInBox(CurrentChannel());
        m_channelBox->lineEdit()->selectAll();
        return;
    }
    if (channel == CurrentChannel())
        return;
    if (m_pendingSwitch >= 0) {
        m_pendingSwitch = channel;
        return;
    }
    SelectChannel(channel, 1);
}

// ---- Line commands ------------------------------------------------------------------------------

void CViewChannel::onEditCommand()
{
    if (m_channelBox->findText(m_channelBox->currentText(), Qt::MatchExactly) < 0)
        selectChannelInBox(CurrentChannel());
    if (!m_core.rows().empty() && !m_editorOpen)
        OpenCellEditor(m_core.currentRow(), m_core.editColumn());
}

void CViewChannel::onInsertLine()
{
    CommitCellEdit();
    OpenCellEditor(-1, 0);
    if (!m_core.InsertLine())
        return;
    showRemaining();
    OpenCellEditor(m_core.currentRow(), kColumnCommand);
}

void CViewChannel::onDeleteLine()
{
    const bool wasOpen = m_editorOpen;
    const std::vector<int> rows = selectedRows();
    OpenCellEditor(-1, 0);
    m_core.DeleteLines(rows);
    if (wasOpen)
        OpenCellEditor(m_core.currentRow(), m_core.editColumn());
    else if (m_core.rows().valid(m_core.currentRow()))
        selectOnlyRow(m_core.currentRow());
    showRemaining();
}

// ---- Commands and the context menu --------------------------------------------------------------

void CViewChannel::buildCommands()
{
    CommandTable& t = m_commands;
    t.add(ID_INSERT_LINE, [this] { onInsertLine(); }, [this](CommandUpdate& u) { u.Enable(m_core.CanInsertLine()); });
    t.add(ID_DELETE_LINE, [this] { onDeleteLine(); }, [this](CommandUpdate& u) { u.Enable(m_core.CanDelete(selectedRows())); });
    t.add(ID_INSERT_CHANNEL, [this] { startChannelCommand(kKindInsert); });
    t.add(ID_DELETE_CHANNEL, [this] { startChannelCommand(kKindDelete); });
    t.add(ID_DELETE_ALL_CHANNELS, [this] { startChannelCommand(kKindClearAll); });
    t.add(ID_EDIT_CELL, [this] { onEditCommand(); },
          [this](CommandUpdate& u) { u.Enable(!m_core.rows().empty() && !m_editorOpen); });
    t.add(ID_COPY_CHANNEL, [this] { onCopyChannel(); }, [this](CommandUpdate& u) { u.Enable(m_core.rows().usedCount() > 0); });
    t.add(ID_EDIT_CUT, [this] { onCut(); }, [this](CommandUpdate& u) {
        u.Enable(m_editorOpen ? m_editor->hasSelectedText() : m_core.CanDelete(selectedRows()));
    });
    t.add(ID_EDIT_COPY, [this] { onCopy(); }, [this](CommandUpdate& u) {
        u.Enable(m_editorOpen ? m_editor->hasSelectedText() : m_core.CanDelete(selectedRows()));
    });
    t.add(ID_EDIT_PASTE, [this] { onPaste(); }, [this](CommandUpdate& u) {
        u.Enable(m_editorOpen ? !GetClipboardText().empty()
                              : m_core.remaining() > 0 && HasPasteLine(GetClipboardText()));
    });

    struct Item { plat::UINT id; const char* caption; QKeySequence key; };
    const Item items[] = {
        {ID_INSERT_LINE, QT_TRANSLATE_NOOP("CViewChannel", "Insert line\tCtrl+I"), QKeySequence(Qt::CTRL | Qt::Key_I)},
        {ID_DELETE_LINE, QT_TRANSLATE_NOOP("CViewChannel", "Delete line\tCtrl+D"), QKeySequence(Qt::CTRL | Qt::Key_D)},
        {0, nullptr, {}},
        {ID_COPY_CHANNEL, QT_TRANSLATE_NOOP("CViewChannel", "Copy other channel\tCtrl+Alt+C"),
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C)},
        {0, nullptr, {}},
        {ID_INSERT_CHANNEL, QT_TRANSLATE_NOOP("CViewChannel", "Insert other channel\tCtrl+Alt+I"),
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_I)},
        {ID_DELETE_CHANNEL, QT_TRANSLATE_NOOP("CViewChannel", "Delete current channel\tCtrl+Alt+D"),
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D)},
        {ID_DELETE_ALL_CHANNELS, QT_TRANSLATE_NOOP("CViewChannel", "Delete all channels\tCtrl+Alt+A"),
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A)},
        {0, nullptr, {}},
        {ID_EDIT_CELL, QT_TRANSLATE_NOOP("CViewChannel", "Edit\tF2"), {}},
    };
    for (const Item& item : items) {
        auto* action = new QAction(this);
        if (!item.caption) {
            action->setSeparator(true);
        } else {
            action->setText(trc(item.caption));
            t.bind(item.id, action);
        }
        m_menuActions.append(action);
        if (item.key.isEmpty())
            continue;
        // The key runs the command while the focus is inside the screen; the rule decides then.
        auto* key = new QAction(this);
        key->setShortcut(item.key);
        key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const plat::UINT id = item.id;
        connect(key, &QAction::triggered, this, [this, id] { m_commands.execute(id); });
        addAction(key);
    }
}

void CViewChannel::onContextMenu(const QPoint& globalPos, bool)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("149"));
    const std::pair<plat::UINT, const char*> clipboard[] = {
        {ID_EDIT_CUT, QT_TRANSLATE_NOOP("CViewChannel", "Cu&t\tCtrl+X")},
        {ID_EDIT_COPY, QT_TRANSLATE_NOOP("CViewChannel", "&Copy\tCtrl+C")},
        {ID_EDIT_PASTE, QT_TRANSLATE_NOOP("CViewChannel", "&Paste\tCtrl+V")}};
    for (const auto& [id, caption] : clipboard) {
        QAction* action = menu.addAction(trc(caption));
        m_commands.bind(id, action);
    }
    menu.addSeparator();
    for (QAction* action : m_menuActions) {
        if (action->isSeparator()) {
            menu.addSeparator();
            continue;
        }
        QAction* copy = menu.addAction(action->text());
        m_commands.bind(CommandTable::commandOf(action), copy);
    }
    const bool wasCurrent = m_viewCurrent;
    m_viewCurrent = false;
    m_commands.trackPopupMenu(menu, globalPos);
    m_viewCurrent = wasCurrent;
}

int CViewChannel::messageBox(const QString& text, const QString& title, unsigned type, plat::HWND owner)
{
    return plat::MessageBox(owner ? owner : model::GetMainWindow(), text.toStdString(), title.toStdString(), type);
}

} // namespace talverin
