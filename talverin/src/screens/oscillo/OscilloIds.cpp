#include "screens/oscillo/OscilloIds.h"

namespace talverin {

const char* HelpAnchorForControl(int id)
{
    const auto in = [id](int first, int last) { return id >= first && id <= last; };
    if (id == 1003 || in(1126, 1129))
        return "C_OSCILLO_VIEW";
    if (id == 1010 || id == 1035 || in(1205, 1213) || id == 1217)
        return "C_OSCILLO_FME_TRIGGER";
    if (in(1013, 1024) || in(1029, 1032) || in(1040, 1043) || id == 1214 || in(1256, 1259))
        return "C_OSCILLO_FME_VERTICAL";
    if (in(1033, 1034) || in(1036, 1039) || in(1101, 1105) || id == 1215)
        return "C_OSCILLO_FME_HORIZONAL";
    if (id == 1216 || id == 1226 || id == 1227 || id == 1231 || in(1250, 1252))
        return "C_OSCILLO_FME_CURSOR";
    return "D_OSCILLO";
}

bool IsEnterToTabEdit(int id)
{
    switch (id) {
    case 1039: case 1037: case 1034: case 1226: case 1227: case 1010: case 1035:
        return true;
    default:
        return id >= 1013 && id <= 1020;
    }
}

} // namespace talverin
