// Draws one row of the parameter list: the background by the row's state and its record's status
// and change, the text colour and weight, and each cell's alignment and ellipsis.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

// What a row's drawing depends on, read under the data mutex by the caller.
struct RowLook {
    bool selected = false;
    bool focused = false;
    int status = 0;
    int stepMode = 0;
    bool writable = false; // the node's letters hold 'W'
    bool changed = false;  // the record's change test
};

struct RowCell {
    QRect rect;
    QString text;
};

class ParamRowDelegate {
public:
    // 1 five-column parameter layout, 2 three-column short layout.
    static void paintRow(QPainter& painter, const QRect& rowRect, const std::vector<RowCell>& cells, int mode,
                         const RowLook& look, const QFont& font);

    // The background and the text colour the rules give (the tests probe them).
    static QColor background(const RowLook& look);
    static QColor textColour(const RowLook& look);
    // A CommResult error or a failed write, missing echo or reply time-out.
    static bool isErrorStatus(int status);
};
