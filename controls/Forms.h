#pragma once

// Base of the program's windows. A form is a root of a stored layout: its children are
// created by the layout reader, and OnCreate runs once every object has been loaded.

#include "controls/Controls.h"

#include <QWidget>

class QEventLoop;

namespace controls {

class TForm : public QWidget, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Caption READ windowTitle WRITE setCaption)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE setClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE setClientHeight)
    Q_PROPERTY(controls::ControlEnums::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(controls::ControlEnums::TBorderIcons BorderIcons READ BorderIcons WRITE setBorderIcons)
    Q_PROPERTY(controls::ControlEnums::TPosition Position READ Position WRITE setPosition)
    Q_PROPERTY(controls::ControlEnums::TWindowState WindowState READ WindowState WRITE setFormWindowState)
    Q_PROPERTY(QString Icon READ Icon WRITE setIcon)
    Q_PROPERTY(int PixelsPerInch READ PixelsPerInch WRITE setPixelsPerInch)
    Q_CLASSINFO("default:Visible", "False")
    Q_CLASSINFO("default:Color", "clBtnFace")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:BorderStyle", "bsSizeable")
    Q_CLASSINFO("default:BorderIcons", "[biSystemMenu, biMinimize, biMaximize]")
    Q_CLASSINFO("default:Position", "poDesigned")
    Q_CLASSINFO("default:WindowState", "wsNormal")
    Q_CLASSINFO("default:Icon", "\"\"")
    Q_CLASSINFO("default:PixelsPerInch", "96")

public:
    explicit TForm(QWidget *parent = nullptr);
    ~TForm() override;

    void setCaption(const QString &caption);
    // The client area; without a border it is the whole window.
    int ClientWidth() const { return width(); }
    void setClientWidth(int width);
    int ClientHeight() const { return height(); }
    void setClientHeight(int height);
    // bsNone: no caption bar, no frame; bsSingle and bsDialog: the user cannot resize.
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void setBorderIcons(TBorderIcons icons);
    // Applied when the form is first shown.
    TPosition Position() const { return m_position; }
    void setPosition(TPosition position);
    TWindowState WindowState() const;
    void setFormWindowState(TWindowState state);
    // Picture file in the resources folder.
    QString Icon() const { return m_iconFile; }
    void setIcon(const QString &fileName);
    int PixelsPerInch() const { return m_pixelsPerInch; }
    void setPixelsPerInch(int ppi) { m_pixelsPerInch = ppi; }

    // Window position (frame included) and outer size.
    void SetBounds(int left, int top, int width, int height) override;
    QRect boundsRect() const override;

    // Shows the form application-modal and returns when it is hidden again (ModalResult, or
    // 2 when closed otherwise).
    int ShowModal();
    int ModalResult() const { return m_modalResult; }
    // A non-zero result closes a modal form.
    void setModalResult(int result);

    void setVisible(bool visible) override;
    void Loaded() override;

signals:
    void OnCreate(QObject *Sender);

protected:
    void applyColor() override;
    void hideEvent(QHideEvent *event) override;

private:
    void applyWindowFlags();
    void resizeClient(int width, int height);
    void placeAtStart();

    TBorderStyle m_borderStyle = bsSizeable;
    TBorderIcons m_borderIcons = TBorderIcons(biSystemMenu | biMinimize | biMaximize);
    TPosition m_position = poDesigned;
    QString m_iconFile;
    int m_pixelsPerInch = 96;
    int m_modalResult = 0;
    bool m_placed = false;
    QEventLoop *m_modalLoop = nullptr;
};

} // namespace controls
