#include "lbbutton/LbButtons.h"

#include <QString>

namespace lbbutton {

using namespace canvas;

TLbColorPreset ColorPreset(TLbColorStyle style)
{
    switch (style) {
    case lcsGold:
        return {0x00C0C0, 0x00FFFF, 0x008080, clNone, 0x00DFDF, false, bsModern, clBlack};
    case lcsChrome:
        return {0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, false, bsModern, clBlack};
    case lcsBlue:
        return {0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, false, bsModern, clBlack};
    case lcsRed:
        return {0x0000FF, 0xC0C0FF, 0x0000C0, clNone, clNone, false, bsModern, clBlack};
    case lcsUltraFlat1:
        return {clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, true, bsNormal, clBlack};
    case lcsUltraFlat2:
        return {clBtnFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, true, bsNormal, clBlack};
    case lcsUltraFlatXP:
        return {0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, true, bsNormal, clBlack};
    case lcsAqua:
        return {0xECCE94, 0xFCE6D4, 0x000000, clNone, clNone, false, bsModern, clBlack};
    case lcsQuicken:
        return {0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, false, bsQuicken, clWhite};
    case lcsDefault:
    case lcsCustom:
        break;
    }
    return {clBtnFace, 0xFFFFFF, 0x808080, clNone, clNone, false, bsNormal, clBlack};
}

TLbKindInfo KindInfo(TLbButtonKind kind)
{
    switch (kind) {
    case bkOK:
        return {1, "LBOK", "OK"};
    case bkCancel:
        return {2, "LBCANCEL", "Abbrechen"};
    case bkHelp:
        return {0, "LBHELP", "Hilfe"};
    case bkYes:
        return {6, "LBYES", "Ja"};
    case bkNo:
        return {7, "LBNO", "Nein"};
    case bkClose:
        return {0, "LBCLOSE",
                QByteArray("Schlie\xDF"
                           "en")};
    case bkAbort:
        return {3, "LBABORT", "Abbrechen"};
    case bkRetry:
        return {4, "LBRETRY", "Wiederholen"};
    case bkIgnore:
        return {5, "LBIGNORE", "Ignorieren"};
    case bkAll:
        return {8, "LBALL", "Alle"};
    case bkCustom:
        break;
    }
    return {0, "", QByteArray()};
}

QString DecodeWestern(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace lbbutton
