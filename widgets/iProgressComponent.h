#pragma once

#include "widgets/iPositionComponent.h"

namespace widgets {

// Three colour sections for bar-type displays.
class TiProgressComponent : public TiPositionComponent
{
    Q_OBJECT
    Q_PROPERTY(canvas::TColor SectionColor1 READ GetSectionColor1 WRITE SetSectionColor1)
    Q_PROPERTY(canvas::TColor SectionColor2 READ GetSectionColor2 WRITE SetSectionColor2)
    Q_PROPERTY(canvas::TColor SectionColor3 READ GetSectionColor3 WRITE SetSectionColor3)
    Q_PROPERTY(double SectionEnd1 READ GetSectionEnd1 WRITE SetSectionEnd1)
    Q_PROPERTY(double SectionEnd2 READ GetSectionEnd2 WRITE SetSectionEnd2)
    Q_PROPERTY(int SectionCount READ GetSectionCount WRITE SetSectionCount)
    Q_PROPERTY(bool ShowOffSegments READ GetShowOffSegments WRITE SetShowOffSegments)
    Q_PROPERTY(canvas::TColor BackGroundColor READ GetBackGroundColor WRITE SetBackGroundColor)
    Q_CLASSINFO("default:SectionColor1", "clLime")
    Q_CLASSINFO("default:SectionColor2", "clYellow")
    Q_CLASSINFO("default:SectionColor3", "clRed")
    Q_CLASSINFO("default:SectionEnd1", "50")
    Q_CLASSINFO("default:SectionEnd2", "75")
    Q_CLASSINFO("default:SectionCount", "1")
    Q_CLASSINFO("default:ShowOffSegments", "True")
    Q_CLASSINFO("default:BackGroundColor", "clBtnFace")

public:
    explicit TiProgressComponent(QWidget *parent = nullptr);

    canvas::TColor GetSectionColor1() const { return FSectionColor1; }
    canvas::TColor GetSectionColor2() const { return FSectionColor2; }
    canvas::TColor GetSectionColor3() const { return FSectionColor3; }
    double GetSectionEnd1() const { return FSectionEnd1; }
    double GetSectionEnd2() const { return FSectionEnd2; }
    int GetSectionCount() const { return FSectionCount; }
    bool GetShowOffSegments() const { return FShowOffSegments; }
    void SetSectionColor1(canvas::TColor Value);
    void SetSectionColor2(canvas::TColor Value);
    void SetSectionColor3(canvas::TColor Value);
    void SetSectionEnd1(double Value);
    void SetSectionEnd2(double Value);
    // Only 1, 2 or 3; anything else is ignored.
    void SetSectionCount(int Value);
    void SetShowOffSegments(bool Value);

    bool ReadStoredValue(const QString &name, const QVariant &value) override;
    QList<QPair<QString, QVariant>> StoredValues() const override;

protected:
    canvas::TColor FSectionColor1;
    canvas::TColor FSectionColor2;
    canvas::TColor FSectionColor3;
    double FSectionEnd1 = 50.0;
    double FSectionEnd2 = 75.0;
    int FSectionCount = 1;
    bool FShowOffSegments = true;
};

} // namespace widgets
