#include "screens/oscillo/OscilloForm.h"

#include <platform/qt/dialog_units.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace talverin {

namespace {

enum class Kind { Group, Label, Edit, ReadOnly, Radio, Check, Button, Combo, Marker };

struct Item {
    int id;
    Kind kind;
    const char* text;
    int x, y, w, h;
};

// Geometry: the scope (template item 1003 at 16, 10, 190 x 120) with its four sliders; the zoom
// row and the HORIZONAL group below it; CURSOR, TRIGGER and VERTICAL to its right.
constexpr Item kItems[] = {
    {1215, Kind::Group, QT_TRANSLATE_NOOP("CViewOscillo", "HORIZONAL"), 6, 154, 206, 52},
    {1216, Kind::Group, QT_TRANSLATE_NOOP("CViewOscillo", "CURSOR"), 218, 2, 80, 106},
    {1217, Kind::Group, QT_TRANSLATE_NOOP("CViewOscillo", "TRIGGER"), 302, 2, 94, 116},
    {1214, Kind::Group, QT_TRANSLATE_NOOP("CViewOscillo", "VERTICAL"), 218, 120, 178, 70},

    {1047, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "ZOOM"), 120, 142, 24, 8},
    {1101, Kind::Radio, "1", 144, 140, 12, 11},
    {1102, Kind::Radio, "2", 156, 140, 12, 11},
    {1103, Kind::Radio, "4", 168, 140, 12, 11},
    {1104, Kind::Radio, "8", 180, 140, 12, 11},
    {1105, Kind::Radio, "16", 192, 140, 12, 11},

    {1243, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "POS."), 12, 166, 30, 8},
    {1039, Kind::Edit, "", 168, 164, 38, 11},
    {1242, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "TIME(ms)"), 12, 180, 32, 8},
    {1037, Kind::Edit, "", 168, 178, 38, 11},
    {1241, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "RES."), 12, 194, 30, 8},
    {1034, Kind::Edit, "", 168, 192, 38, 11},

    {-1, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "Horizonal"), 224, 11, 60, 8},
    {-1, Kind::Label, "A", 224, 23, 20, 8},
    {1226, Kind::Edit, "", 246, 21, 46, 11},
    {-1, Kind::Label, "B", 224, 35, 20, 8},
    {1227, Kind::Edit, "", 246, 33, 46, 11},
    {-1, Kind::Label, "A-B", 224, 47, 20, 8},
    {1231, Kind::ReadOnly, "", 246, 45, 46, 11},
    {-1, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "Vertical"), 224, 59, 60, 8},
    {1044, Kind::Label, "A", 224, 71, 20, 8},
    {1250, Kind::ReadOnly, "", 246, 69, 46, 11},
    {1045, Kind::Label, "B", 224, 83, 20, 8},
    {1251, Kind::ReadOnly, "", 246, 81, 46, 11},
    {1046, Kind::Label, "A-B", 224, 95, 20, 8},
    {1252, Kind::ReadOnly, "", 246, 93, 46, 11},

    {1010, Kind::Edit, "", 308, 12, 40, 11},
    {-1, Kind::Label, "%", 350, 14, 10, 8},
    {1035, Kind::Edit, "", 308, 26, 40, 11},
    {1069, Kind::Label, "", 350, 28, 44, 8},
    {-1, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "SRC"), 308, 41, 30, 8},
    {1205, Kind::Radio, "CH1", 308, 51, 36, 11},
    {1206, Kind::Radio, "CH2", 308, 63, 36, 11},
    {1207, Kind::Radio, "CH3", 308, 75, 36, 11},
    {1208, Kind::Radio, "CH4", 308, 87, 36, 11},
    {-1, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "SLOPE"), 352, 41, 38, 8},
    {1209, Kind::Radio, "", 352, 51, 38, 11},
    {1210, Kind::Radio, "", 352, 63, 38, 11},
    {1211, Kind::Radio, "CONT", 352, 77, 38, 11},
    {1212, Kind::Radio, "SING", 352, 89, 38, 11},
    {1213, Kind::Radio, "AUTO", 352, 101, 38, 11},

    {-1, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "POS."), 270, 129, 30, 8},
    {-1, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "SCALE"), 302, 129, 30, 8},
    {-1, Kind::Label, QT_TRANSLATE_NOOP("CViewOscillo", "SRC"), 358, 129, 30, 8},

    {1263, Kind::Button, QT_TRANSLATE_NOOP("CViewOscillo", "Start"), 302, 194, 44, 12},
    {1264, Kind::Button, QT_TRANSLATE_NOOP("CViewOscillo", "Stop"), 350, 194, 44, 12},
    {1225, Kind::Marker, "", 400, 208, 1, 1},
};

QString tr(const char* text)
{
    return QCoreApplication::translate("CViewOscillo", text);
}

QWidget* make(QWidget* form, const Item& item)
{
    QWidget* w = nullptr;
    switch (item.kind) {
    case Kind::Group: w = new QGroupBox(tr(item.text), form); break;
    case Kind::Label: w = new QLabel(tr(item.text), form); break;
    case Kind::Edit: w = new QLineEdit(form); break;
    case Kind::ReadOnly: {
        auto* e = new QLineEdit(form);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        w = e;
        break;
    }
    case Kind::Radio:
    case Kind::Check: {
        // Push-like: the screen's own handlers keep the groups exclusive, so that a group can also
        // be left with nothing checked.
        auto* b = new QPushButton(tr(item.text), form);
        b->setCheckable(true);
        b->setAutoExclusive(false);
        w = b;
        break;
    }
    case Kind::Button: w = new QPushButton(tr(item.text), form); break;
    case Kind::Combo: w = new QComboBox(form); break;
    case Kind::Marker: {
        auto* marker = new QLabel(form);
        marker->hide();
        w = marker;
        break;
    }
    }
    w->setObjectName(QString::number(item.id));
    w->setGeometry(plat::qt::MapDialogRect(QRect(item.x, item.y, item.w, item.h), form->font()));
    return w;
}

} // namespace

QIcon EdgeIcon(bool falling)
{
    QPixmap pixmap(24, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1));
    const int high = 2;
    const int low = 9;
    // A level, the edge in the middle, the other level, with an arrowhead on the edge.
    const int from = falling ? high : low;
    const int to = falling ? low : high;
    p.drawLine(2, from, 12, from);
    p.drawLine(12, from, 12, to);
    p.drawLine(12, to, 22, to);
    const int tip = falling ? to - 1 : to + 1;
    const int back = falling ? -3 : 3;
    p.drawLine(12, tip, 10, tip + back);
    p.drawLine(12, tip, 14, tip + back);
    p.end();
    return QIcon(pixmap);
}

void BuildOscilloForm(QWidget* form)
{
    for (const Item& item : kItems)
        make(form, item);
    for (int ch = 0; ch < 4; ++ch) {
        const int y = 139 + ch * 12;
        const QString name = QStringLiteral("CH%1").arg(ch + 1);
        make(form, {1040 + ch, Kind::Radio, "", 224, y, 20, 11})->setProperty("text", name);
        make(form, {1256 + ch, Kind::Check, "", 246, y, 20, 11})->setProperty("text", name);
        make(form, {1013 + ch, Kind::Edit, "", 268, y, 32, 11});
        make(form, {1017 + ch, Kind::Edit, "", 302, y, 30, 11});
        make(form, {1029 + ch, Kind::Combo, "", 358, y, 34, 11});
    }
    for (int id : {1209, 1210}) {
        auto* button = form->findChild<QPushButton*>(QString::number(id));
        button->setIcon(EdgeIcon(id == 1209));
        button->setIconSize(QSize(24, 12));
    }
    // A group box only frames the controls inside it. Made after the hosted controls, it would lie
    // above them and take their clicks: every group box goes to the bottom of the stack.
    for (QGroupBox* group : form->findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly))
        group->lower();
}

} // namespace talverin
