// The oscilloscope screen's menus (160, 140, 190) with their commands and update rules, and the
// controls the capture reaches by id (CaptureScreen).
#include "screens/oscillo/CViewOscillo.h"

#include "screens/oscillo/OscilloCapture.h"
#include "screens/oscillo/OscilloIds.h"
#include "screens/oscillo/SettingsSummary.h"

#include <model/DataFile.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace talverin {

using namespace OscilloId;

namespace {

QString trv(const char* text)
{
    return QCoreApplication::translate("CViewOscillo", text);
}

} // namespace

// ---- Menus and commands -----------------------------------------------------------------------

void CViewOscillo::buildMenus()
{
    const auto add = [this](QMenu* menu, unsigned id, const QString& text) {
        QAction* action = menu->addAction(text);
        m_commands.bind(id, action);
    };
    m_functionMenu = new QMenu(trv("Function(&W)"), this);
    for (int ch = 1; ch <= 4; ++ch)
        add(m_functionMenu, static_cast<unsigned>(Trigger1 + ch - 1), trv("Trigger source CH%1").arg(ch));
    m_functionMenu->addSeparator();
    add(m_functionMenu, EdgeDown, trv("Slope &DOWN"));
    add(m_functionMenu, EdgeUp, trv("Slope &UP"));
    m_functionMenu->addSeparator();
    add(m_functionMenu, Cont, trv("&CONT"));
    add(m_functionMenu, Sing, trv("&SING"));
    add(m_functionMenu, Auto, trv("&AUTO"));
    m_functionMenu->addSeparator();
    for (int ch = 1; ch <= 4; ++ch)
        add(m_functionMenu, static_cast<unsigned>(Show1 + ch - 1), trv("Show CH%1").arg(ch));
    m_functionMenu->addSeparator();
    for (int ch = 1; ch <= 4; ++ch)
        add(m_functionMenu, static_cast<unsigned>(Select1 + ch - 1), trv("Vertical cursor CH%1").arg(ch));

    m_executeMenu = new QMenu(trv("Execute(&S)"), this);
    add(m_executeMenu, Run, trv("&Start"));
    add(m_executeMenu, Stop, trv("S&top"));
    m_executeMenu->addSeparator();
    QMenu* record = m_executeMenu->addMenu(trv("View record"));
    for (unsigned i = 0; i < 8; ++i)
        add(record, OscilloCommand::ViewRecord1 + i, trv("not recorded."));
    m_executeMenu->addSeparator();
    static constexpr int kRates[] = {9600, 19200, 38400, 57600};
    for (unsigned i = 0; i < 4; ++i)
        add(m_executeMenu, OscilloCommand::Baud9600 + i, trv("%1 bps").arg(kRates[i]));

    m_exportMenu = new QMenu(trv("Oscilloscope"), this);
    add(m_exportMenu, OscilloCommand::SaveBitmap, trv("Save &Bitmap"));
    add(m_exportMenu, OscilloCommand::SaveCsv, trv("Save &CSV"));
    for (QMenu* menu : {m_functionMenu, m_executeMenu, m_exportMenu})
        m_commands.attach(menu);
}

void CViewOscillo::addCommands()
{
    using plat::qt::CommandUpdate;
    plat::qt::CommandTable& t = m_commands;
    // Items that follow their button: its enabled state and its check.
    const auto follow = [this](bool radio) {
        return [this, radio](CommandUpdate& u) {
            QPushButton* b = button(static_cast<int>(u.id()));
            u.Enable(b && b->isEnabled());
            if (radio)
                u.SetRadio(b && b->isChecked());
            else
                u.SetCheck(b && b->isChecked() ? 1 : 0);
        };
    };
    t.addRange(Trigger1, Trigger1 + 3, [this](plat::UINT id) { onTriggerSource(static_cast<int>(id) - Trigger1 + 1); },
               follow(true));
    t.addRange(EdgeDown, EdgeUp, [this](plat::UINT id) { onSlope(static_cast<int>(id)); }, follow(true));
    t.addRange(Cont, Auto, [this](plat::UINT id) { onMode(static_cast<int>(id)); }, follow(true));
    t.addRange(Select1, Select1 + 3, [this](plat::UINT id) { onSelectChannel(static_cast<int>(id) - Select1 + 1); },
               follow(true));
    t.addRange(Show1, Show1 + 3, [this](plat::UINT id) { onShowChannel(static_cast<int>(id) - Show1 + 1, true); },
               [this, follow](CommandUpdate& u) {
                   follow(false)(u);
                   QPushButton* b = button(static_cast<int>(u.id()));
                   if (b && b->hasFocus() && scope().site())
                       scope().site()->setFocus();
               });
    t.add(Run, [this] { m_capture->OnRun(); }, follow(false));
    t.add(Stop, [this] { m_capture->OnStop(); }, follow(false));
    t.addRange(OscilloCommand::ViewRecord1, OscilloCommand::ViewRecord1 + 7, [this](plat::UINT id) { onRestoreRecord(id); },
               [this](CommandUpdate& u) {
                   const int index = static_cast<int>(u.id() - OscilloCommand::ViewRecord1);
                   const QString text = recordText(index);
                   u.SetText(text);
                   u.Enable(IsViewRecordAvailable(text.toStdString(), CaptureState() == Capture::Idle));
                   u.SetRadio(index == m_checkedRecord);
               });
    t.addRange(OscilloCommand::Baud9600, OscilloCommand::Baud9600 + 3, [this](plat::UINT id) { onBaudCommand(id); },
               [this](CommandUpdate& u) {
                   static constexpr int kRates[] = {9600, 19200, 38400, 57600};
                   const int rate = store().m_captureBaudRate;
                   unsigned shown = 0;
                   for (unsigned i = 0; i < 4; ++i)
                       if (rate >= kRates[i])
                           shown = i;
                   u.SetRadio(u.id() == OscilloCommand::Baud9600 + shown);
                   u.Enable(isEditable());
               });
    t.add(OscilloCommand::SaveBitmap, [this] { onSaveBitmap(); });
    t.add(OscilloCommand::SaveCsv, [this] { onSaveCsv(); },
          [this](CommandUpdate& u) { u.Enable(!store().m_oscillo.m_samples.empty()); });
}

void CViewOscillo::onBaudCommand(unsigned id)
{
    static constexpr int kRates[] = {9600, 19200, 38400, 57600};
    store().m_captureBaudRate = kRates[id - OscilloCommand::Baud9600];
    store().m_baudRateSet = 1;
}

// ---- CaptureScreen: the controls by id ------------------------------------------------------------

std::string CViewOscillo::controlText(int id) const
{
    const QWidget* w = item(id);
    if (const auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text().toStdString();
    if (const auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText().toStdString();
    if (const auto* l = qobject_cast<const QLabel*>(w))
        return l->text().toStdString();
    if (const auto* b = qobject_cast<const QPushButton*>(w))
        return b->text().toStdString();
    return {};
}

void CViewOscillo::setControlText(int id, const std::string& text)
{
    QWidget* w = item(id);
    const QString t = QString::fromStdString(text);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(t);
    else if (auto* b = qobject_cast<QPushButton*>(w))
        b->setText(t);
}

int CViewOscillo::comboSelection(int id) const
{
    const QComboBox* c = combo(id);
    return c ? c->currentIndex() : -1;
}

bool CViewOscillo::isChecked(int id) const
{
    const QPushButton* b = button(id);
    return b && b->isChecked();
}

void CViewOscillo::setChecked(int id, bool checked)
{
    if (QPushButton* b = button(id))
        b->setChecked(checked);
    m_commands.refresh();
}

bool CViewOscillo::isControlEnabled(int id) const
{
    const QWidget* w = item(id);
    return w && w->isEnabled();
}

void CViewOscillo::enableControl(int id, bool enabled)
{
    if (QWidget* w = item(id))
        w->setEnabled(enabled);
}

void CViewOscillo::setModified(int id, bool modified)
{
    if (QLineEdit* e = edit(id))
        e->setModified(modified);
}

plat::LONG CViewOscillo::sliderValue(int id, plat::LONG cursor)
{
    return slider(id).GetValue(cursor);
}

void CViewOscillo::setSliderValue(int id, plat::LONG cursor, plat::LONG value)
{
    slider(id).SetValue(cursor, value);
}

void CViewOscillo::showSliderCursor(int id, plat::LONG cursor, plat::LONG mode)
{
    slider(id).ShowCursor(cursor, mode);
}

void CViewOscillo::enableSlider(int id, bool enabled)
{
    slider(id).Enabled(enabled ? plat::TRUE : plat::FALSE);
}

void CViewOscillo::scopeLockPaint(bool locked)
{
    scope().LockPaint(locked ? plat::TRUE : plat::FALSE);
}

void CViewOscillo::scopeSetZoom(int ch, float zoom)
{
    scope().SetZoom(ch, zoom);
}

void CViewOscillo::scopeDrawMode(plat::LONG mode)
{
    scope().DrawMode(mode);
}

void CViewOscillo::scopeUpdateData(plat::LONG count, plat::LONG recordLength, plat::LONG resolution)
{
    scope().UpdateOscilloData(nullptr, count, recordLength, resolution);
    m_commands.refresh();
}

void CViewOscillo::FocusScopeIfLost()
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus && focus->isEnabled() && focus->isVisible())
        return;
    if (ControlSite* site = scope().site(); site && isVisible())
        site->setFocus();
}

} // namespace talverin
