#pragma once

// Panel, bevel, image and timer.

#include "canvas/Canvas.h"
#include "controls/Controls.h"
#include "controls/Pictures.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>

namespace controls {

// Two-colour frame `width` pixels wide inside `rect` (top-left lines in topColor, bottom-right
// in bottomColor, which wins at the corners); `rect` shrinks by the width.
void Frame3D(canvas::Canvas &canvas, canvas::TRect &rect, canvas::TColor topColor, canvas::TColor bottomColor,
             int width);

class PanelClientEdge;

// Panel with outer and inner bevels and an optional single sunken border. The border is a
// 2-pixel client edge: the Qt widget is the client area inside it, so children's Left/Top
// count from inside the border, while the panel's own Left/Top/Width/Height include it.
// Aligned children fill the client area less the bevels and the border width.
class TPanel : public QWidget, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(controls::ControlEnums::TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(controls::ControlEnums::TBevelCut BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(controls::ControlEnums::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(controls::ControlEnums::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:Color", "clBtnFace")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:Alignment", "taCenter")
    Q_CLASSINFO("default:BevelInner", "bvNone")
    Q_CLASSINFO("default:BevelOuter", "bvRaised")
    Q_CLASSINFO("default:BevelWidth", "1")
    Q_CLASSINFO("default:BorderWidth", "0")
    Q_CLASSINFO("default:BorderStyle", "bsNone")

public:
    explicit TPanel(QWidget *parent = nullptr);
    ~TPanel() override;

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    TAlignment Alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void setBevelInner(TBevelCut bevel);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(TBevelCut bevel);
    // Negative widths count as 0.
    int BevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);

    // Width of the sunken client edge: 2 with a single border, else 0.
    int BorderInset() const;

    void SetBounds(int left, int top, int width, int height) override;
    QRect boundsRect() const override;
    QRect alignRect() const override;

    // The panel's picture (client area) as painted.
    QImage Render() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void applyColor() override {}

private:
    void changeFrame(const std::function<void()> &change);
    void syncEdge();

    QString m_caption;
    TAlignment m_alignment = taCenter;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    TBorderStyle m_borderStyle = bsNone;
    QPointer<PanelClientEdge> m_edge;
};

// Line or box in the classic 3-D colours; paints nothing else, children stay where they are.
class TBevel : public QWidget, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(controls::ControlEnums::TBevelShape Shape READ Shape WRITE setShape)
    Q_PROPERTY(controls::ControlEnums::TBevelStyle Style READ Style WRITE setStyle)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Shape", "bsBox")
    Q_CLASSINFO("default:Style", "bsLowered")

public:
    explicit TBevel(QWidget *parent = nullptr);

    TBevelShape Shape() const { return m_shape; }
    void setShape(TBevelShape shape);
    TBevelStyle Style() const { return m_style; }
    void setStyle(TBevelStyle style);

    // Draws the bevel into `canvas` as it appears in a width x height control.
    static void Paint(canvas::Canvas &canvas, int width, int height, TBevelShape shape, TBevelStyle style);

protected:
    void paintEvent(QPaintEvent *event) override;
    void applyColor() override {}

private:
    TBevelShape m_shape = bsBox;
    TBevelStyle m_style = bsLowered;
};

// Picture box. `Picture` names a file in the resources folder; the canvas draws into the
// picture, which is what the control shows.
class TImage : public QWidget, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool Center READ Center WRITE setCenter)
    Q_PROPERTY(bool Stretch READ Stretch WRITE setStretch)
    Q_PROPERTY(bool Proportional READ Proportional WRITE setProportional)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Picture", "\"\"")
    Q_CLASSINFO("default:AutoSize", "False")
    Q_CLASSINFO("default:Center", "False")
    Q_CLASSINFO("default:Stretch", "False")
    Q_CLASSINFO("default:Proportional", "False")
    Q_CLASSINFO("default:Transparent", "False")

public:
    explicit TImage(QWidget *parent = nullptr);

    // File name of the loaded picture; empty for none or a picture made at run time. A file
    // that cannot be found or read leaves the picture empty.
    QString Picture() const { return m_pictureFile; }
    void setPicture(const QString &fileName);
    // Takes `image` as the picture (a null image empties it).
    void SetPictureImage(const QImage &image);
    const QImage &PictureImage() const { return m_canvas.Image(); }
    bool HasPicture() const { return m_hasPicture; }
    // A new, empty (0 x 0) bitmap as the picture.
    void NewBitmap();
    int PictureWidth() const { return m_hasPicture ? m_pictureSize.width() : 0; }
    int PictureHeight() const { return m_hasPicture ? m_pictureSize.height() : 0; }
    // Resizing keeps the pixels at the top left and fills the rest with the canvas brush colour.
    void setPictureWidth(int width);
    void setPictureHeight(int height);

    // Drawing surface of the picture; without a picture, a bitmap the size of the control is
    // made first. Whatever is drawn shows at the next repaint, which this call requests.
    canvas::Canvas *Canvas();

    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    bool Center() const { return m_center; }
    void setCenter(bool center);
    bool Stretch() const { return m_stretch; }
    void setStretch(bool stretch);
    bool Proportional() const { return m_proportional; }
    void setProportional(bool proportional);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);

    // Where the picture lands inside the control.
    QRect DestRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void applyColor() override {}

private:
    void pictureChanged();
    void resizePicture(int width, int height);

    canvas::Canvas m_canvas;
    // Kept apart from the image: a bitmap 239 x 0 has no pixels but still a width.
    QSize m_pictureSize;
    QString m_pictureFile;
    bool m_hasPicture = false;
    bool m_autoSize = false;
    bool m_center = false;
    bool m_stretch = false;
    bool m_proportional = false;
    bool m_transparent = false;
};

// Periodic event on the GUI thread while Enabled and Interval > 0.
class TTimer : public QObject, public core::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)
    Q_CLASSINFO("default:Enabled", "True")
    Q_CLASSINFO("default:Interval", "1000")
    Q_CLASSINFO("default:Tag", "0")

public:
    explicit TTimer(QObject *owner = nullptr);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // Milliseconds; negative values count as 0, which stops the timer. Changing it restarts
    // the count.
    int Interval() const { return m_interval; }
    void setInterval(int interval);
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    bool IsRunning() const { return m_enabled && m_interval > 0 && !isLoading(); }
    // From an OnTimer handler: the next `ticks` ticks change nothing anyone sees before the one
    // after them, so the timer wakes once, when that one is due, and delivers all of them in a
    // row. A wake-up costs far more than a tick.
    void Defer(int ticks);

    void Loaded() override;

signals:
    void OnTimer(QObject *Sender);

private:
    void updateTimer();
    void deliver();

    QTimer m_timer; // single shot, armed for the next wake
    std::chrono::steady_clock::time_point m_due{};
    int m_batch = 1;         // ticks the next wake delivers
    int m_deferred = 0;      // asked by the handler of the tick being delivered
    unsigned m_restarts = 0; // a handler that restarts the timer ends the wake's delivery
    int m_interval = 1000;
    int m_tag = 0;
    bool m_enabled = true;
};

} // namespace controls
