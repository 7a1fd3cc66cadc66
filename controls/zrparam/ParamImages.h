// The editor's own 16 x 16 pictures for the ten tree roles, made once per process.
#pragma once

#include <zrparam/ImageRoles.h>

#include <QIcon>
#include <QPixmap>

class ParamImages {
public:
    static const QPixmap& picture(zrparam::ImageRole role);
    // The normal picture, with the selected one for the selected state.
    static QIcon icon(zrparam::ImagePair pair);
};
