#include "ParamWindow.h"

#include "CPresetStepDlg.h"
#include "CZRPARAMApp.h"
#include "HelpPane.h"
#include "ParamBuilder.h"
#include "ParamCommands.h"
#include "ParamEditor.h"
#include "ParamList.h"
#include "ParamMenus.h"
#include "ParamRowDelegate.h"
#include "ParamTexts.h"
#include "ParamTree.h"

#include <platform/qt/colors.h>
#include <platform/qt/drag.h>
#include <platform/qt/window_timers.h>
#include <zrparam/HelpPages.h>
#include <zrparam/TreeExport.h>
#include <zrparam/TreePath.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <algorithm>

using zrparam::ItemId;
using zrparam::NodeRef;
using zrparam::PaneLayout;
using zrparam::Panes;
using zrparam::PaneRect;

namespace {

QRect toQRect(const PaneRect& r)
{
    return QRect(r.x, r.y, r.w, r.h);
}

PaneRect toPane(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

bool has(const std::string& letters, char c)
{
    return letters.find(c) != std::string::npos;
}

} // namespace

ParamWindow::ParamWindow(ParamHost& host, zrparam::EditAccess& access, QWidget* parent)
    : QWidget(parent), m_host(host), m_access(access), m_module(paramModule())
{
    setObjectName(QStringLiteral("ZRPARAM"));
    m_module.AttachSharedBlock();

    m_tree = new ParamTree(*this, this);
    m_list = new ParamList(*this, this);
    m_help = new HelpPane(this);
    m_editor = std::make_unique<ParamEditor>(*this);
    m_commands = std::make_unique<ParamCommands>(*this);
    m_builder = std::make_unique<ParamBuilder>(*this, m_module);
    m_menus = std::make_unique<ParamMenus>(*this, m_module);
    m_bridge = std::make_unique<plat::qt::WindowBridge>(
        this, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) { return onMessage(m, w, l); });
    m_treeBridge = std::make_unique<plat::qt::WindowBridge>(m_tree);
    m_listBridge = std::make_unique<plat::qt::WindowBridge>(m_list);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] {
        if (m_ready)
            m_builder->fillFromTree();
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (!m_ready)
            return;
        const int row = m_list->rowOfNode(m_tree->itemData(m_tree->idOf(item)));
        if (row < 0)
            return;
        m_list->selectOnly(row);
        m_list->setFocus();
        m_list->scrollTo(m_list->rows().index(row, 0));
    });
    connect(m_list->header(), &QHeaderView::sectionResized, this, [this] {
        if (m_ready)
            m_editor->columnResized();
    });
    connect(&m_help->closeButton(), &QPushButton::clicked, this, [this] { closeHelp(); });
    m_ready = true;
}

ParamWindow::~ParamWindow()
{
    // The panes report while they go: nothing is done for them from here on, and they go while
    // what they would report to still exists.
    m_ready = false;
    m_menus.reset();
    m_editor.reset();
    m_bridge.reset();
    m_treeBridge.reset();
    m_listBridge.reset();
    delete m_tree;
    delete m_list;
    delete m_help;
}

int ParamWindow::mode() const
{
    return m_builder->mode();
}

bool ParamWindow::loading() const
{
    // The panes report before the window is complete: nothing is done for them then.
    return !m_ready || m_builder->loading();
}

plat::qt::CommandTable& ParamWindow::commandTable()
{
    return m_menus->table();
}

void ParamWindow::listContextMenu(QContextMenuEvent& event)
{
    if (m_ready)
        m_menus->listContextMenu(event);
}

void ParamWindow::treeContextMenu(QContextMenuEvent& event)
{
    if (m_ready)
        m_menus->treeContextMenu(event);
}

void ParamWindow::dropNodeReferences()
{
    m_editor->dropNodes();
    clearContext();
    m_builder->forgetGroup();
}

int ParamWindow::valueSubItem() const
{
    const auto& columns = m_list->rows().columns();
    const int c = valueColumn();
    return c < static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(c)].subItem : c;
}

// ---- Messages and timers --------------------------------------------------------------------

plat::LRESULT ParamWindow::onMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam)
{
    if (message == plat::WM_TIMER) {
        const auto id = static_cast<plat::UINT_PTR>(wParam);
        plat::qt::KillTimer(this, id);
        if (id == kTimerShowPopup || id == kTimerOpenEditor) {
            m_editor->onTimer(id);
        } else if (id == kTimerCloseButton) {
            placeCloseButton();
            m_help->closeButton().update();
        } else if (id == kTimerCommandHelp) {
            commandHelp();
        }
        return 0;
    }
    if (message == WM_PRESET_STEP) {
        m_commands->presetStep(static_cast<int>(wParam), reinterpret_cast<const void*>(lParam));
        return 0;
    }
    if (message == WM_PARAM_REFRESH) {
        RefreshPanes(static_cast<int>(lParam));
        return 0;
    }
    return 0;
}

void ParamWindow::RefreshPanes(int bits)
{
    if (bits & 8) {
        update();
        return;
    }
    if (bits & 1)
        m_tree->viewport()->update();
    if (bits & 2)
        m_list->viewport()->update();
    if (bits & 4)
        m_help->viewport()->update();
}

// ---- Layout and splitters -------------------------------------------------------------------

Panes ParamWindow::currentPanes() const
{
    return {toPane(m_tree->geometry()), toPane(m_list->geometry()), toPane(m_help->geometry())};
}

void ParamWindow::applyPanes(const Panes& panes)
{
    m_tree->setGeometry(toQRect(panes.tree));
    m_list->setGeometry(toQRect(panes.list));
    if (helpShown()) {
        m_help->setGeometry(toQRect(panes.help));
        m_help->show();
        m_help->lower();
        placeCloseButton();
    } else {
        m_help->hide();
        m_help->closeButton().hide();
    }
}

void ParamWindow::relayout()
{
    if (width() <= 0 || height() <= 0)
        return;
    if (!m_laidOut) {
        // The creation layout: the first size the window gets is its creation size.
        m_laidOut = true;
        const Panes created = PaneLayout::Create(width(), height(), showStyle());
        m_tree->setGeometry(toQRect(created.tree));
        m_list->setGeometry(toQRect(created.list));
        m_help->setGeometry(toQRect(created.help));
    }
    const Panes panes = PaneLayout::Relayout(width(), height(), showStyle(), currentPanes());
    applyPanes(PaneLayout::KeepListWidth(listWidthForValues(), width(), height(), showStyle(), panes));
}

int ParamWindow::listWidthForValues() const
{
    // The columns up to the value (the third) and the scroll bar beside them.
    const QHeaderView* header = m_list->header();
    const int last = std::min(2, header->count() - 1);
    if (last < 0)
        return 0;
    return header->sectionPosition(last) + header->sectionSize(last) + 2 * m_list->frameWidth()
           + QWidget::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void ParamWindow::OnShowStyleChanged()
{
    relayout();
    m_tree->viewport()->update();
    m_list->viewport()->update();
    m_help->viewport()->update();
    update();
}

void ParamWindow::placeCloseButton()
{
    QPushButton& close = m_help->closeButton();
    const int scrollBar = QWidget::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    close.move(PaneLayout::CloseButtonX(m_help->width(), close.width(), scrollBar, 2), 0);
    close.show();
    close.raise();
}

void ParamWindow::closeHelp()
{
    m_host.setShowStyle(showStyle() & ~zrparam::kShowHelp);
    m_list->viewport()->update();
    m_help->viewport()->update();
}

void ParamWindow::resizeEvent(QResizeEvent*)
{
    if (width() > 0 && height() > 0) {
        relayout();
        m_tree->viewport()->update();
        update();
    }
}

void ParamWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_drag != zrparam::kNoDrag)
        return;
    m_drag = PaneLayout::DragAt(showStyle(), event->position().toPoint().x(), currentPanes());
}

void ParamWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (m_drag == zrparam::kNoDrag) {
        setCursor(PaneLayout::NorthSouthCursor(showStyle(), at.x(), currentPanes()) ? Qt::SizeVerCursor : Qt::SizeHorCursor);
        return;
    }
    const bool acrossY = m_drag == zrparam::kListHelpDrag || PaneLayout::Stacked(showStyle());
    setCursor(acrossY ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    if (auto panes = PaneLayout::Drag(m_drag, showStyle(), at.x(), at.y(), width(), height(), currentPanes())) {
        applyPanes(*panes);
        update();
    }
}

void ParamWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_drag == zrparam::kNoDrag)
        return;
    m_drag = zrparam::kNoDrag;
    if (PaneLayout::ClosesHelp(showStyle(), currentPanes()))
        m_host.setShowStyle(showStyle() & ~zrparam::kShowHelp);
}

void ParamWindow::CtrlSize(std::int32_t* treeWidth, std::int32_t* listHeight, std::int32_t* helpHeight, bool set)
{
    if (set) {
        // Beside each other only: stacked panes have no tree width to set.
        if (treeWidth && listHeight && !PaneLayout::Stacked(showStyle()))
            applyPanes(PaneLayout::SetSizes(*treeWidth, *listHeight, width(), height(), showStyle(), currentPanes()));
        return;
    }
    if (treeWidth)
        *treeWidth = m_tree->contentsRect().width();
    if (listHeight)
        *listHeight = m_list->contentsRect().height();
    if (helpHeight)
        *helpHeight = m_help->contentsRect().height();
}

// ---- Painting -------------------------------------------------------------------------------

void ParamWindow::paintEvent(QPaintEvent*)
{
    if (!m_painted) {
        m_painted = true;
        if (m_list->rows().columns().empty())
            m_builder->insertModeColumns();
        m_help->navigate(QUrl::fromLocalFile(QString::fromStdString(zrparam::HelpPages::PagePath(
                                                 m_host.helpFolder(), zrparam::HelpPages::kBlankPage)))
                             .toString());
        if (helpShown())
            placeCloseButton();
    }
    QPainter painter(this);
    painter.fillRect(rect(), plat::ColorFromColorRef(plat::GetSysColor(plat::COLOR_SCROLLBAR)));
}

void ParamWindow::drawListRow(QPainter& painter, const QRect& rect, int row)
{
    if (!m_painted || loading())
        return;
    PaintGuard guard(m_module);
    if (!guard.held()) {
        // Drawn while the tree or list is being rebuilt: the row is drawn once that is done.
        if (!m_repaintWanted) {
            m_repaintWanted = true;
            QTimer::singleShot(0, m_list->viewport(), [this] {
                m_repaintWanted = false;
                m_list->viewport()->update();
            });
        }
        return;
    }
    const ParamListModel& rows = m_list->rows();
    const ListRow* listRow = rows.row(row);
    if (!listRow)
        return;
    RowLook look;
    {
        DataAccess data(m_module);
        const zrparam::CZRParamClass* node = data.node(listRow->node);
        if (!node || !node->m_record)
            return;
        look.status = node->m_record->m_status;
        look.stepMode = node->m_record->m_stepMode;
        look.writable = has(node->m_attributes, 'W');
        look.changed = node->m_record->IsChanged() != 0;
    }
    look.selected = m_list->isSelected(row);
    look.focused = row == m_list->focusedRow() && m_list->hasFocus();
    std::vector<RowCell> cells;
    const QHeaderView* header = m_list->header();
    for (int c = 0; c < static_cast<int>(rows.columns().size()); ++c)
        cells.push_back({QRect(header->sectionViewportPosition(c), rect.top(), header->sectionSize(c), rect.height()),
                         rows.cell(row, c)});
    const QRect rowRect(0, rect.top(), std::max(m_list->viewport()->width(), header->length()), rect.height());
    ParamRowDelegate::paintRow(painter, rowRect, cells, mode(), look, m_list->font());
}

bool ParamWindow::ListGetItemPosition(int row, std::int32_t* x, std::int32_t* y) const
{
    const QRect r = m_list->visualRect(m_list->rows().index(row, 0));
    if (!r.isValid())
        return false;
    const QPoint at = m_list->viewport()->mapTo(m_list, r.topLeft());
    if (x)
        *x = at.x();
    if (y)
        *y = at.y();
    return true;
}

// ---- List notifications ---------------------------------------------------------------------

// ---- List notifications ---------------------------------------------------------------------

void ParamWindow::listSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (loading() || m_list->testAttribute(Qt::WA_ForceDisabled))
        return;
    if (mode() == 1 && m_editor->isOpen() && !deselected.isEmpty())
        m_editor->hide();
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selected) {
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.push_back(r);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int r : rows) {
        const ListRow* row = m_list->rows().row(r);
        if (!row)
            continue;
        zrparam::CZRParamClass* node = nullptr;
        {
            DataAccess data(m_module);
            node = data.node(row->node);
        }
        m_host.fireItemSelect(true, r, 1, node);
    }
    if (!rows.empty() && helpShown()) {
        m_contextItem = 0;
        m_contextRow = rows.back();
        commandHelp();
    }
}

void ParamWindow::listFocusIn()
{
    if (!m_ready)
        return;
    if (m_list->rows().rows() > 0 && m_list->focusedRow() < 0)
        m_list->selectOnly(0);
}

void ParamWindow::listScrolled()
{
    if (!m_ready)
        return;
    m_editor->listScrolled();
}

bool ParamWindow::listKey(QKeyEvent& event)
{
    if (!m_ready)
        return false;
    if (m_list->testAttribute(Qt::WA_ForceDisabled))
        return false;
    const int row = m_list->selectedRow();
    switch (event.key()) {
    case Qt::Key_Space:
        if (row >= 0)
            m_commands->stepRow(row, false);
        return true;
    case Qt::Key_F2: {
        bool edits = false;
        if (const ListRow* r = m_list->rows().row(row)) {
            DataAccess data(m_module);
            const zrparam::CZRParamClass* node = data.node(r->node);
            edits = node && zrparam::AccessRules::F2Edits(*node);
        }
        if (edits)
            commandTable().execute(ID_EDIT_VALUE);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_editor->returnPressed();
        return true;
    default:
        return false;
    }
}

void ParamWindow::listDoubleClick(int row)
{
    if (m_ready)
        m_commands->stepRow(row, true);
}

// ---- Command help ---------------------------------------------------------------------------

void ParamWindow::commandHelp()
{
    if (!helpShown()) {
        // The stacked layout has no help pane to show.
        if (PaneLayout::Stacked(showStyle()))
            return;
        m_host.setShowStyle(showStyle() | zrparam::kShowHelp);
        plat::qt::SetTimer(this, kTimerCommandHelp, 10);
        return;
    }
    NodeRef ref;
    if (const ListRow* row = m_list->rows().row(m_contextRow))
        ref = row->node;
    else if (m_contextItem)
        ref = m_tree->nodeRef(m_contextItem);
    std::string name;
    {
        DataAccess data(m_module);
        const zrparam::CZRParamClass* node = data.node(ref);
        if (!node || !node->m_record)
            return;
        name = node->m_record->m_name;
    }
    const std::string page = zrparam::HelpPages::Resolve(m_host.helpFolder(), name, [](const std::string& path) {
        return QFileInfo::exists(QString::fromStdString(path));
    });
    m_help->navigate(QUrl::fromLocalFile(QString::fromStdString(page)).toString());
    plat::qt::SetTimer(this, kTimerCloseButton, 100);
}

void ParamWindow::HelpNavigate(const std::string& url)
{
    m_help->navigate(QString::fromStdString(url));
}

void ParamWindow::HelpSetHtml(const std::string& html)
{
    m_help->writeHtml(QString::fromStdString(html));
}

void ParamWindow::TermWindow()
{
    m_help->release();
}

// ---- Drag, F1, focus, paths, export ---------------------------------------------------------

void ParamWindow::startDrag(NodeRef ref)
{
    if (!m_ready)
        return;
    QString text;
    {
        DataAccess data(m_module);
        const zrparam::CZRParamClass* node = data.node(ref);
        if (!node || !node->m_record)
            return;
        text = QString::fromStdString(node->GetDragText());
    }
    QDrag drag(this);
    auto* mime = new QMimeData;
    mime->setText(text);
    drag.setMimeData(mime);
    plat::qt::RunDrag(drag, Qt::CopyAction, Qt::CopyAction);
}

int ParamWindow::focusedPaneId() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return 0;
    if (focus == &m_editor->edit())
        return 1002;
    if (focus == &m_help->closeButton())
        return 101;
    if (focus == m_tree || m_tree->isAncestorOf(focus))
        return 1000;
    if (focus == m_list || m_list->isAncestorOf(focus))
        return 1001;
    if (focus == m_help || m_help->isAncestorOf(focus))
        return 1002;
    return 0;
}

void ParamWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_F1) {
        QWidget::keyPressEvent(event);
        return;
    }
    ctl::HelpInfo info;
    info.iCtrlId = focusedPaneId();
    const QWidget* focus = QApplication::focusWidget();
    info.hItemHandle = reinterpret_cast<std::intptr_t>(focus ? plat::qt::HandleFromObject(focus) : nullptr);
    const QPoint cursor = QCursor::pos();
    info.mouseX = cursor.x();
    info.mouseY = cursor.y();
    m_host.fireCtrlHelp(info);
}

bool ParamWindow::SetNextFocus(int direction)
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    std::array<QWidget*, 3> order = {m_tree, m_list, m_help};
    if (direction <= 0)
        order = {m_tree, m_help, m_list};
    int at = -1;
    for (int i = 0; i < 3; ++i) {
        if (focus == order[static_cast<std::size_t>(i)] || order[static_cast<std::size_t>(i)]->isAncestorOf(focus))
            at = i;
    }
    // From anywhere else the focus goes to the tree; hidden panes are passed over.
    QWidget* next = m_tree;
    for (int step = 1; at >= 0 && step <= 3; ++step) {
        QWidget* candidate = order[static_cast<std::size_t>((at + step) % 3)];
        if (candidate->isVisible()) {
            next = candidate;
            break;
        }
    }
    next->setFocus(Qt::TabFocusReason);
    return true;
}

ItemId ParamWindow::ShowTreeItem(const std::string& path)
{
    std::vector<ItemId> found;
    const ItemId item = zrparam::TreePath::Find(*m_tree, path, &found);
    if (!item)
        return 0;
    for (ItemId id : found) {
        if (QTreeWidgetItem* it = m_tree->itemOf(id))
            it->setExpanded(true);
    }
    QTreeWidgetItem* target = m_tree->itemOf(item);
    m_tree->scrollToItem(target);
    m_tree->setCurrentItem(target);
    m_tree->setFocus(Qt::OtherFocusReason);
    return item;
}

long ParamWindow::ExportData(char* buffer, long size, ItemId item)
{
    if (item == TVI_ROOT)
        item = 0;
    if (item && !m_tree->itemOf(item))
        return -1;
    DataAccess data(m_module);
    return zrparam::TreeExport::Write(*m_tree, item ? item : m_tree->FirstChild(0), buffer, size);
}
