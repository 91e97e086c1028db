#include "lbbutton/LbButtonRes.h"

#include <QPainter>

namespace lbbutton {

namespace {

// Normal cells; the disabled cell is made from them. Bottom-left pixel = background.
const char *const Xpmok[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", "..................", "..................", "..............gg..",
    ".............ggg..", "............ggg...", "...........gggg...", "...........ggg....",
    "...gg.....ggg.....", "...ggg...ggg......", "....ggg.gggg......", ".....gggggg.......",
    "......gggg........", ".......gg.........", "..................", "..................",
    ".................."};

const char *const Xpmcancel[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", "..................", "..................", "....rr.......rr...",
    "....rrr.....rrr...", ".....rrr...rrr....", "......rrr.rrr.....", ".......rrrrr......",
    "........rrr.......", ".......rrrrr......", "......rrr.rrr.....", ".....rrr...rrr....",
    "....rrr.....rrr...", "....rr.......rr...", "..................", "..................",
    ".................."};

const char *const Xpmhelp[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", ".......bbbbb......", "......bbbbbbb.....", ".....bbb...bbb....",
    ".....bb.....bb....", ".....bb.....bb....", ".....bb.....bb....", "...........bbb....",
    "..........bbb.....", ".........bbb......", ".........bbb......", ".........bb.......",
    "..................", "........bb........", "........bb........", "..................",
    ".................."};

const char *const Xpmyes[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", "..................", "..................", "..............GG..",
    ".............GGG..", "............GGGg..", "...........GGGg...", "...........GGg....",
    "...GG.....GGgg....", "...GGG...GGgg.....", "...gGGG.GGgg......", "....gGGGGgg.......",
    ".....gGGGg........", "......gGg.........", ".......g..........", "..................",
    ".................."};

const char *const Xpmno[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", "......rrrrrrr.....", ".....rrrrrrrrr....", "....rrrr...rrrr...",
    "...rrrr......rrr..", "..rrrrrr......rrr.", "..rrr.rrr.....rrr.", "..rr...rrr.....rr.",
    "..rr....rrr....rr.", "..rr.....rrr...rr.", "..rrr.....rrr.rrr.", "..rrr......rrrrrr.",
    "...rrr......rrrr..", "....rrrr...rrrr...", ".....rrrrrrrrr....", "......rrrrrrr.....",
    ".................."};

const char *const Xpmclose[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", "....mmmmmmmmmm....", "....mmmmmmmmmm....", "....mmyyyykkmm....",
    "....mmyyyykkmm....", "....mmyyyykkmm....", "....mmyyyykkmm....", "....mmyyyykkmm....",
    "....mmyyykkkmm....", "....mmyyyykkmm....", "....mmyyyykkmm....", "....mmyyyykkmm....",
    "....mmyyyykkmm....", "....mmyyyykkmm....", "....mmkkkkkkmm....", "..................",
    ".................."};

const char *const Xpmabort[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", ".........r........", "......rrrrrrr.....", ".....rrrrrrrrr....",
    "....rrrrrrrrrrr...", "...rrrrrrrrrrrrr..", "...rrrrrrrrrrrrr..", "...rrwwwwwwwwwrr..",
    "..rrrwwwwwwwwwrrr.", "...rrwwwwwwwwwrr..", "...rrrrrrrrrrrrr..", "...rrrrrrrrrrrrr..",
    "....rrrrrrrrrrr...", ".....rrrrrrrrr....", "......rrrrrrr.....", ".........r........",
    ".................."};

const char *const Xpmretry[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", ".............b....", ".......bbbbbbbb...", ".....bbbbbbbbbb...",
    "....bbbb...bbbbb..", "....bb.....bbbbb..", "...bbb............", "...bb.............",
    "...bb.............", "...bb.............", "...bbb............", "....bb.......bb...",
    "....bbbb...bbbb...", ".....bbbbbbbbb....", ".......bbbbb......", "..................",
    ".................."};

const char *const Xpmignore[] = {
    "18 18 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", "..................", "..................", "..................",
    ".............nnn..", "......nn.....nnn..", ".....nnnn....nnn..", "....nnnnnn..nnnn..",
    "....nnnnnn..nnn...", "...nnn..nnnnnn....", "..nnnn..nnnnnn....", "..nnn....nnnn.....",
    "..nn......nn......", "..................", "..................", "..................",
    ".................."};

const char *const Xpmall[] = {
    "18 19 10 1",         ". c #808000",        "k c #000000",        "g c #008000",
    "G c #00C000",        "r c #FF0000",        "m c #800000",        "b c #0000FF",
    "n c #000080",        "y c #FFFF00",        "w c #FFFFFF",        "..................",
    "..................", ".............gg...", "............ggg...", "...........ggg....",
    "..........gggg....", "..........ggg.....", "..gg.....ggg....GG", "..ggg...ggg....GGG",
    "...ggg.gggg...GGG.", "....gggggg...GGGG.", ".....gggg....GGG..", ".....GGg....GGG...",
    ".....GGG...GGG....", "......GGG.GGGG....", ".......GGGGGG.....", "........GGGG......",
    ".........GG.......", ".................."};

const char *const XpmArrow[] = {"5 3 2 1", ". c #808000", "k c #000000", "kkkkk", ".kkk.", "..k.."};

// Grey shape with a white shadow one pixel down and right, on the cell's background.
QImage DisabledCell(const QImage &normal)
{
    QImage out(normal.size(), QImage::Format_RGB32);
    const QRgb background = normal.pixel(0, normal.height() - 1);
    out.fill(background);
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (normal.pixel(x, y) != background && x + 1 < out.width() && y + 1 < out.height())
                out.setPixel(x + 1, y + 1, qRgb(255, 255, 255));
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (normal.pixel(x, y) != background)
                out.setPixel(x, y, qRgb(128, 128, 128));
    return out;
}

QImage Strip(const char *const *xpm)
{
    const QImage normal = QImage(xpm).convertToFormat(QImage::Format_RGB32);
    QImage strip(normal.width() * 2, normal.height(), QImage::Format_RGB32);
    QPainter painter(&strip);
    painter.drawImage(0, 0, normal);
    painter.drawImage(normal.width(), 0, DisabledCell(normal));
    painter.end();
    return strip;
}

} // namespace

QImage LoadBitmapResource(const QString &name)
{
    static const struct
    {
        const char *name;
        const char *const *xpm;
    } table[] = {
        {"LBOK", Xpmok},         {"LBCANCEL", Xpmcancel}, {"LBHELP", Xpmhelp},   {"LBYES", Xpmyes},
        {"LBNO", Xpmno},         {"LBCLOSE", Xpmclose},   {"LBABORT", Xpmabort}, {"LBRETRY", Xpmretry},
        {"LBIGNORE", Xpmignore}, {"LBALL", Xpmall},
    };
    if (name == QLatin1String("LBARROW"))
        return QImage(XpmArrow).convertToFormat(QImage::Format_RGB32);
    for (const auto &entry : table)
        if (name == QLatin1String(entry.name))
            return Strip(entry.xpm);
    return {};
}

bool IsBitmapResource(const QString &name)
{
    return !name.isEmpty() && name.startsWith(QLatin1String("LB")) && !LoadBitmapResource(name).isNull();
}

} // namespace lbbutton
